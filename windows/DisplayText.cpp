// Code-page texts to and from QString, through the program's one code-page table.
#include "windows/DisplayText.h"

#include "bluetooth/sdp/CodePage.h"

namespace orvelle {

QString CodePageToQString(std::string_view text) {
    QString result(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    for (std::size_t i = 0; i < text.size(); ++i)
        result[static_cast<qsizetype>(i)] = QChar(CodePageToUnicode(static_cast<unsigned char>(text[i])));
    return result;
}

std::string QStringToCodePage(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCodePage(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

} // namespace orvelle
