#pragma once

#include <QObject>
#include <QPalette>

// Keeps the desktop's look, light, dark or high-contrast, and makes it
// readable: each colour that falls short of the contrast WCAG asks for moves
// to the nearest shade of itself that meets it, and nothing else changes.
// Applied to the application as the first form loads and again whenever
// the desktop's look changes.
class CReadablePalette : public QObject
{
    Q_OBJECT

public:
    // WCAG's enhanced level for text, 7:1: small antialiased text shows
    // paler than its colour, and the forms' text is small. 3:1 for what
    // marks out a control.
    static constexpr double TextContrast = 7.0;
    static constexpr double BoundaryContrast = 3.0;

    // The WCAG contrast ratio of two colours, from 1 to 21.
    static double Contrast(const QColor& objFirst, const QColor& objSecond);
    // The palette with its text, captions and selection readable.
    static QPalette Readable(QPalette objPalette);
    // A light palette turned dark, for a desktop that asks for dark but
    // gives a light palette (GTK 3's themes under GNOME's dark style): each
    // colour's lightness mirrored into the dark range, its hue kept. A dark
    // palette stays as it is.
    static QPalette Darkened(QPalette objPalette);
    // Where a text box ends, BoundaryContrast against the window.
    static QColor Boundary(const QPalette& objPalette);
    // The focused text box's frame, BoundaryContrast against the window
    // and against the box.
    static QColor FocusFrame(const QPalette& objPalette);

    // Makes the application's palette readable now, and again after each
    // change of the desktop's look that FilterEvent sees.
    explicit CReadablePalette(QObject* pParent = nullptr);
    // Sees each of the application's events (CDesktop passes them on) and
    // takes none.
    void FilterEvent(QObject* pReceiver, QEvent* pEvent);

private:
    void Schedule();
    void Apply();
    static QPalette Desktops(const QPalette& objPalette);

    bool mbScheduled = false;
    bool mbApplying = false;
};
