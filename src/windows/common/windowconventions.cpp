#include "windowconventions.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace common {
namespace {

// Wine's free MS Sans Serif keeps the metrics the window layouts were made
// for; Debian's fonts-wine installs it outside the system's font folders.
// Like the original it is a bitmap face for ordinary screens only: on a
// scaled screen it is not loaded, and the scalable stand-in below is used,
// as Windows itself replaces MS Sans Serif there.
constexpr const char *kMsSansSerif = "MS Sans Serif";
constexpr const char *kMsSansSerifFile = "/usr/share/wine/fonts/ms_sans_serif.ttf";

constexpr int kLargerIconsDelayMs = 500;

bool scaledScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen && screen->devicePixelRatio() > 1.0;
}

void installMsSansSerif()
{
    static const bool installed = [] {
        if (!scaledScreen() && QFile::exists(QString::fromLatin1(kMsSansSerifFile)))
            QFontDatabase::addApplicationFont(QString::fromLatin1(kMsSansSerifFile));
        return true;
    }();
    Q_UNUSED(installed);
}

// Where MS Sans Serif is missing, Liberation Sans is the nearest plain sans;
// it keeps Arial's metrics, and Windows has Arial itself. Lato Black stands
// in for the heavy Arial Black. DejaVu Sans comes last. Kept out of Qt's
// substitution table: Qt asks the platform for the fallbacks of every face
// that has substitutes as soon as it loads it, a search of its own each time.
QStringList standIns(const QString &family)
{
    const QString dejaVu = QStringLiteral("DejaVu Sans");
    if (family == QLatin1String(kMsSansSerif) || family == QLatin1String("Arial"))
        return {QStringLiteral("Liberation Sans"), dejaVu};
    if (family == QLatin1String("Liberation Sans"))
        return {QStringLiteral("Arial"), dejaVu};
    if (family == QLatin1String("Arial Black"))
        return {QStringLiteral("Lato Black"), QStringLiteral("Lato"), dejaVu};
    return {};
}

// Looked up in the font database's own list: QFontDatabase::hasFamily()
// also asks fontconfig for aliases, a search of its own for each family.
bool systemHasFamily(const QString &family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// Whether the family has a face of at least this weight; Qt does not
// embolden a face that lacks one (Wine's MS Sans Serif is regular only).
bool hasWeight(const QString &family, QFont::Weight weight)
{
    const QStringList styles = QFontDatabase::styles(family);
    return std::any_of(styles.begin(), styles.end(), [&](const QString &style) {
        return QFontDatabase::weight(family, style) >= weight;
    });
}

// The design's 16 x 16 icon, and the scalable one drawn at the larger sizes
// that docks and task switchers ask for.
QIcon applicationIcon()
{
    QIcon icon(QStringLiteral(":/images/icon.xpm"));
    for (const int size : {32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/images/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

// Hands a window the larger sizes of its icon a moment after it has
// painted: decoding them and handing every size to the window system costs
// about a tenth of the start's work, which would otherwise hold up the
// window's first appearance or the first keys typed into it.
class LargerIconsAfterFirstPaint : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *window = static_cast<QWidget *>(watched);
            QTimer::singleShot(kLargerIconsDelayMs, window,
                               [window] { window->setWindowIcon(applicationIcon()); });
            window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

} // namespace

QFont designFont(const QString &family, qreal pointSize, QFont::Weight weight)
{
    installMsSansSerif();
    QString face = family;
    // MS Sans Serif is a bitmap face, which a scaled screen would draw blown
    // up: the scalable stand-in takes its place there, as Windows does too.
    // A face this system lacks (Arial on Linux) goes behind its stand-in,
    // which spares the font database a failed search for it.
    const bool standIn =
        (family == QLatin1String(kMsSansSerif) && scaledScreen()) || !systemHasFamily(face);
    if (standIn && !standIns(face).isEmpty())
        face = standIns(face).constFirst();
    if (weight > QFont::Normal && !hasWeight(face, weight) && !standIns(face).isEmpty())
        face = standIns(face).constFirst();
    // A stand-in this system lacks too leaves the choice to the next ones.
    // A glyph the face lacks comes from the platform's own fallbacks, which
    // cover the converted names on Linux and Windows alike.
    QFont font(face);
    if (!systemHasFamily(face))
        font.setFamilies(QStringList{face} + standIns(face));
    font.setPointSizeF(pointSize);
    font.setWeight(weight);
    font.setStyleHint(QFont::SansSerif);
    // Asked of the font database only where the face may be MS Sans Serif
    // itself: that loads the face, which a stand-in chosen above (for a bold
    // label that starts out empty, say) needs only once it draws.
    if (family == QLatin1String(kMsSansSerif) &&
        (face != family || QFontInfo(font).family() != family)) {
        font.setStretch(kStandInStretch);
        // GDI, Qt's Windows platform's font engine, narrows a face only in
        // whole pixels of its average character width, which draws Liberation
        // Sans 8.25 pt at 87%. Qt draws a face that prefers vertical hinting
        // with DirectWrite, which scales it exactly, as it does on scaled
        // screens anyway.
        if (QGuiApplication::platformName() == QLatin1String("windows"))
            font.setHintingPreference(QFont::PreferVerticalHinting);
    }
    return font;
}

namespace {

// The three windows' default font.
QFont windowFont()
{
    return designFont(QStringLiteral("MS Sans Serif"), 8.25);
}

} // namespace

void applyWindowConventions(QWidget *window)
{
    window->setWindowIcon(QIcon(QStringLiteral(":/images/icon.xpm")));
    window->installEventFilter(new LargerIconsAfterFirstPaint(window));
    window->setFont(windowFont());
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (!label->pixmap().isNull())
            continue;
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setAutoFillBackground(true);
    }
}

WidgetsMadeInWindowFont::WidgetsMadeInWindowFont(QWidget *window)
    : m_applicationFont(QGuiApplication::font())
{
    window->setFont(windowFont());
    QGuiApplication::setFont(window->font());
}

WidgetsMadeInWindowFont::~WidgetsMadeInWindowFont()
{
    QGuiApplication::setFont(m_applicationFont);
}

} // namespace common
