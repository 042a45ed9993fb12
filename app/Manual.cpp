// The manual's place, looked up at each use so that a moved installation still finds it.
#include "app/Manual.h"

#include "inventory/Utils.h"

#include <QFileInfo>

namespace orvelle {

QString ManualPath() {
    const QString directory = QString::fromStdString(ProgramDirectory());
    const QString candidates[] = {directory + QStringLiteral("manual.html"),
                                  directory + QStringLiteral("../share/orvelle/manual.html")};
    for (const QString& candidate : candidates)
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).canonicalFilePath();
    return candidates[1];
}

} // namespace orvelle
