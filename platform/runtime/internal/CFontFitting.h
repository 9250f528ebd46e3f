#pragma once

#include "CFormLayout.h"

#include <QtGlobal>

#include <span>

class QWidget;

// Sizes a form's window and controls from its layout table, in the forms'
// own font. The tables were drawn for a narrow 8 pt sans-serif on a desktop
// whose own font is 9 pt. A larger desktop font, or a font too wide for the
// captions, grows the whole window in proportion, as a scale factor would:
// every caption of a window keeps one size, and none is ever clipped.
class CFontFitting
{
public:
    struct Placed
    {
        const ControlLayout* pLayout;
        QWidget* pWidget;
    };

    // Applies the smallest scale, from the desktop's own, at which every
    // caption fits, and returns it.
    static qreal Fit(const FormLayout& objLayout, std::span<const Placed> lstControls,
                     QWidget& objWindow);
};
