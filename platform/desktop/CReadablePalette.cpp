#include "CReadablePalette.h"

#include <QApplication>
#include <QEvent>
#include <QStyleHints>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {
constexpr int Steps = 256;
// The kinds of widget the forms show that a desktop may give a palette of
// their own (QApplication::palette(const char*)).
constexpr const char* ThemedKinds[] = {"QAbstractItemView", "QLineEdit",       "QLabel",
                                       "QGroupBox",         "QAbstractButton", "QMessageBoxLabel"};

double channel(double dblValue)
{
    return dblValue <= 0.04045 ? dblValue / 12.92 : std::pow((dblValue + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& objColour)
{
    return 0.2126 * channel(objColour.redF()) + 0.7152 * channel(objColour.greenF()) +
           0.0722 * channel(objColour.blueF());
}

QColor mixed(const QColor& objFrom, const QColor& objTo, int intStep)
{
    const auto mix = [intStep](int intFrom, int intTo) {
        return intFrom + (intTo - intFrom) * intStep / Steps;
    };
    return QColor(mix(objFrom.red(), objTo.red()), mix(objFrom.green(), objTo.green()),
                  mix(objFrom.blue(), objTo.blue()));
}

QColor farthest(const QColor& objColour)
{
    const QColor objBlack(Qt::black);
    const QColor objWhite(Qt::white);
    return CReadablePalette::Contrast(objColour, objBlack) >=
                   CReadablePalette::Contrast(objColour, objWhite)
               ? objBlack
               : objWhite;
}

// The nearest shade of the colour, towards black or white, for which meets()
// holds; an invalid colour if none does.
template <class Meets> QColor nearestShade(const QColor& objColour, Meets meets)
{
    for (int intStep = 0; intStep <= Steps; ++intStep) {
        for (const QColor& objExtreme : {QColor(Qt::black), QColor(Qt::white)}) {
            const QColor objShade = mixed(objColour, objExtreme, intStep);
            if (meets(objShade))
                return objShade;
        }
    }
    return {};
}

bool reads(const QColor& objText, const QColor& objBehind)
{
    return CReadablePalette::Contrast(objText, objBehind) >= CReadablePalette::TextContrast;
}

QColor readableOn(const QColor& objText, const QColor& objBehind)
{
    const QColor objShade =
        nearestShade(objText, [&](const QColor& objTry) { return reads(objTry, objBehind); });
    return objShade.isValid() ? objShade : farthest(objBehind);
}

void fixText(QPalette& objPalette, QPalette::ColorGroup enmGroup, QPalette::ColorRole enmText,
             QPalette::ColorRole enmBehind)
{
    const QColor objText = objPalette.color(enmGroup, enmText);
    const QColor objBehind = objPalette.color(enmGroup, enmBehind);
    if (!reads(objText, objBehind))
        objPalette.setColor(enmGroup, enmText, readableOn(objText, objBehind));
}

// Whether a selection of this colour stands out from the list and its text
// reads on it.
bool servesAsSelection(const QColor& objShade, const QColor& objList, const QColor& objText)
{
    return CReadablePalette::Contrast(objShade, objList) >= CReadablePalette::BoundaryContrast &&
           reads(objText, objShade);
}

// The selection stands out from the list, and its text from the selection:
// the nearest shade of the selection that does both with the desktop's own
// text colour, else with black or white text, else that stands out at least.
void fixSelection(QPalette& objPalette, QPalette::ColorGroup enmGroup)
{
    const QColor objList = objPalette.color(enmGroup, QPalette::Base);
    const QColor objSelection = objPalette.color(enmGroup, QPalette::Highlight);
    const QColor objText = objPalette.color(enmGroup, QPalette::HighlightedText);
    const auto standsOut = [&](const QColor& objShade) {
        return CReadablePalette::Contrast(objShade, objList) >= CReadablePalette::BoundaryContrast;
    };
    if (servesAsSelection(objSelection, objList, objText))
        return;
    QColor objFixed = nearestShade(objSelection, [&](const QColor& objShade) {
        return servesAsSelection(objShade, objList, objText);
    });
    if (!objFixed.isValid())
        objFixed = nearestShade(objSelection, [&](const QColor& objShade) {
            return standsOut(objShade) && reads(farthest(objShade), objShade);
        });
    if (!objFixed.isValid())
        objFixed = nearestShade(objSelection, standsOut);
    objPalette.setColor(enmGroup, QPalette::Highlight, objFixed);
    objPalette.setColor(enmGroup, QPalette::HighlightedText, readableOn(objText, objFixed));
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
// Styles may draw the selection in the desktop's accent colour instead: its
// nearest shade that does as the selection does, else the selection's colour.
void fixAccent(QPalette& objPalette, QPalette::ColorGroup enmGroup)
{
    const QColor objList = objPalette.color(enmGroup, QPalette::Base);
    const QColor objText = objPalette.color(enmGroup, QPalette::HighlightedText);
    const QColor objAccent = objPalette.color(enmGroup, QPalette::Accent);
    const auto serves = [&](const QColor& objShade) {
        return servesAsSelection(objShade, objList, objText);
    };
    if (serves(objAccent))
        return;
    const QColor objFixed = nearestShade(objAccent, serves);
    objPalette.setColor(enmGroup, QPalette::Accent,
                        objFixed.isValid() ? objFixed
                                           : objPalette.color(enmGroup, QPalette::Highlight));
}
#endif
} // namespace

double CReadablePalette::Contrast(const QColor& objFirst, const QColor& objSecond)
{
    const double dblFirst = luminance(objFirst);
    const double dblSecond = luminance(objSecond);
    return (std::max(dblFirst, dblSecond) + 0.05) / (std::min(dblFirst, dblSecond) + 0.05);
}

QPalette CReadablePalette::Readable(QPalette objPalette)
{
    for (const auto enmGroup : {QPalette::Active, QPalette::Inactive}) {
        fixText(objPalette, enmGroup, QPalette::WindowText, QPalette::Window);
        fixText(objPalette, enmGroup, QPalette::Text, QPalette::Base);
        fixText(objPalette, enmGroup, QPalette::ButtonText, QPalette::Button);
        fixSelection(objPalette, enmGroup);
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        fixAccent(objPalette, enmGroup);
#endif
    }
    return objPalette;
}

QPalette CReadablePalette::Darkened(QPalette objPalette)
{
    if (luminance(objPalette.color(QPalette::Window)) <=
        luminance(objPalette.color(QPalette::WindowText)))
        return objPalette;
    // White becomes the near-black of dark desktops, black their near-white.
    constexpr double Darkest = 0.13;
    constexpr double Range = 0.8;
    for (const auto enmGroup : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (int intRole = 0; intRole < QPalette::NColorRoles; ++intRole) {
            const auto enmRole = QPalette::ColorRole(intRole);
            if (enmRole == QPalette::NoRole)
                continue;
            const QColor objColour = objPalette.color(enmGroup, enmRole).toHsl();
            const double dblLightness = objColour.lightnessF();
            const double dblDark = Darkest + Range * (1.0 - dblLightness);
            // As colourful as before: a near-white grey stays a grey.
            const double dblChroma =
                (1.0 - std::abs(2.0 * dblLightness - 1.0)) * objColour.hslSaturationF();
            const double dblRoom = 1.0 - std::abs(2.0 * dblDark - 1.0);
            objPalette.setColor(enmGroup, enmRole,
                                QColor::fromHslF(objColour.hslHueF(),
                                                 std::min(1.0, dblChroma / dblRoom), dblDark,
                                                 objColour.alphaF()));
        }
    }
    return objPalette;
}

QColor CReadablePalette::Boundary(const QPalette& objPalette)
{
    // A shade between the window and its text, as a style's own frame is.
    const QColor objWindow = objPalette.color(QPalette::Window);
    const QColor objText = objPalette.color(QPalette::WindowText);
    for (int intStep = 0; intStep <= Steps; ++intStep) {
        const QColor objShade = mixed(objWindow, objText, intStep);
        if (Contrast(objShade, objWindow) >= BoundaryContrast)
            return objShade;
    }
    return farthest(objWindow);
}

QColor CReadablePalette::FocusFrame(const QPalette& objPalette)
{
    const QColor objWindow = objPalette.color(QPalette::Window);
    const QColor objBox = objPalette.color(QPalette::Base);
    const QColor objFrame =
        nearestShade(objPalette.color(QPalette::Highlight), [&](const QColor& objShade) {
            return Contrast(objShade, objWindow) >= BoundaryContrast &&
                   Contrast(objShade, objBox) >= BoundaryContrast;
        });
    return objFrame.isValid() ? objFrame : farthest(objWindow);
}

// The desktop's palette in the desktop's colour scheme, where Qt knows it
// (Qt 6.5 and later; Qt 6.8's GTK theme reads GNOME's dark style from the
// desktop portal).
QPalette CReadablePalette::Desktops(const QPalette& objPalette)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    if (QGuiApplication::styleHints()->colorScheme() == Qt::ColorScheme::Dark)
        return Darkened(objPalette);
#endif
    return objPalette;
}

CReadablePalette::CReadablePalette(QObject* pParent) : QObject(pParent)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    connect(QGuiApplication::styleHints(), &QStyleHints::colorSchemeChanged, this,
            &CReadablePalette::Schedule);
#endif
    Apply();
}

void CReadablePalette::FilterEvent(QObject* pReceiver, QEvent* pEvent)
{
    // The desktop tells each window of a new look, or only the application
    // when no window shows yet (a GTK theme read just after start); the
    // palette is made once for them all.
    const bool bNewPalette =
        pEvent->type() == QEvent::ApplicationPaletteChange && pReceiver == qApp && !mbApplying;
    if (pEvent->type() == QEvent::ThemeChange || bNewPalette)
        Schedule();
}

void CReadablePalette::Schedule()
{
    if (mbScheduled)
        return;
    mbScheduled = true;
    QTimer::singleShot(0, this, [this] {
        mbScheduled = false;
        Apply();
    });
}

void CReadablePalette::Apply()
{
    mbApplying = true;
    // An empty palette gives the desktop's own back, and leaves the
    // application following the desktop for every role it does not set.
    QApplication::setPalette(QPalette());
    // The desktop may give palettes of their own to kinds of widget (Qt 6.8
    // reads GTK's for lists); an application palette would take their place.
    std::vector<std::pair<const char*, QPalette>> lstKinds;
    for (const char* pszKind : ThemedKinds)
        lstKinds.emplace_back(pszKind, QApplication::palette(pszKind));
    QApplication::setPalette(Readable(Desktops(QApplication::palette())));
    for (const auto& [pszKind, objPalette] : lstKinds)
        QApplication::setPalette(Readable(Desktops(objPalette)), pszKind);
    mbApplying = false;
}
