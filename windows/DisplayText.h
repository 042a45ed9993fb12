// Conversions between the program's code-page texts and the QString of the widgets.
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace orvelle {

// TEXT (code-page bytes) for display: every byte gives exactly one character.
QString CodePageToQString(std::string_view text);

// TEXT as a code-page text; a character the code page lacks gives '?'.
std::string QStringToCodePage(const QString& text);

} // namespace orvelle
