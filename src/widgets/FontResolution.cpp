#include "widgets/FontResolution.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

namespace {

enum class Kind { AsNamed, SansSerif, Serif, Monospace };

// Windows faces the program or its users are likely to name.
Kind kindOfWindowsFace(const QString& family)
{
    static const struct
    {
        const char* name;
        Kind kind;
    } faces[] = {
        {"MS Sans Serif", Kind::SansSerif},  {"Microsoft Sans Serif", Kind::SansSerif},
        {"MS Shell Dlg", Kind::SansSerif},   {"MS Shell Dlg 2", Kind::SansSerif},
        {"Tahoma", Kind::SansSerif},         {"Verdana", Kind::SansSerif},
        {"Arial", Kind::SansSerif},          {"Segoe UI", Kind::SansSerif},
        {"System", Kind::SansSerif},         {"Small Fonts", Kind::SansSerif},
        {"MS Serif", Kind::Serif},           {"Times New Roman", Kind::Serif},
        {"Fixedsys", Kind::Monospace},       {"Terminal", Kind::Monospace},
        {"Courier", Kind::Monospace},        {"Courier New", Kind::Monospace},
        {"Lucida Console", Kind::Monospace}, {"Consolas", Kind::Monospace},
    };
    for (const auto& face : faces)
        if (family.compare(QLatin1String(face.name), Qt::CaseInsensitive) == 0)
            return face.kind;
    return Kind::AsNamed;
}

// The concrete face the font matcher gives for a style hint; naming it concretely keeps the
// editor's font stable whatever the hint would match later.
QString familyForHint(QFont::StyleHint hint, const QString& genericName)
{
    QFont probe(genericName);
    probe.setStyleHint(hint);
    return QFontInfo(probe).family();
}

bool isInstalled(const QString& family)
{
    return QFontDatabase::hasFamily(family);
}

// Measured rather than taken from the font's metadata, which some monospace faces lack (Noto
// Sans Mono carries no fontconfig spacing).
bool measuresMonospaced(const QString& family)
{
    QFont font(family);
    font.setPixelSize(16);
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(u'W');
    return width > 0 && metrics.horizontalAdvance(u'i') == width &&
           metrics.horizontalAdvance(u'.') == width;
}

} // namespace

QString installedSansSerifFamily()
{
    return familyForHint(QFont::SansSerif, QStringLiteral("Sans Serif"));
}

QString installedSerifFamily()
{
    return familyForHint(QFont::Serif, QStringLiteral("Serif"));
}

QString installedMonospaceFamily()
{
    // The system's own choices first, then any face marked fixed-pitch.
    QStringList candidates = {QFontDatabase::systemFont(QFontDatabase::FixedFont).family(),
                              familyForHint(QFont::Monospace, QStringLiteral("Monospace"))};
    for (const QString& family : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(family))
            candidates << family;
    for (const QString& family : std::as_const(candidates))
        if (isInstalled(family) && measuresMonospaced(family))
            return family;
    return candidates.constFirst();
}

QFont resolveFont(const QString& family, int pixelSize)
{
    QString face = family;
    if (!isInstalled(family)) {
        switch (kindOfWindowsFace(family)) {
        case Kind::SansSerif:
            face = installedSansSerifFamily();
            break;
        case Kind::Serif:
            face = installedSerifFamily();
            break;
        case Kind::Monospace:
            face = installedMonospaceFamily();
            break;
        case Kind::AsNamed:
            break;
        }
    }
    QFont font(face);
    font.setPixelSize(pixelSize);
    return font;
}
