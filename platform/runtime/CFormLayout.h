#pragma once

#include <span>

// A form's layout table: its controls in tab order, measured in twips
// (1/1440 inch), positions relative to the client area or to the frame that
// holds the control.
enum class ControlKind
{
    CommandButton,
    Label,
    TextBox,
    ListBox,
    Frame,
};

enum ControlFlag : unsigned
{
    NoFlags = 0,
    DefaultButton = 1u << 0, // Enter presses it, unless the focus is on another button
    CancelButton = 1u << 1,  // Esc presses it
    AlignRight = 1u << 2,
    AlignCenter = 1u << 3,
    Sorted = 1u << 4,
    Bold = 1u << 5,
};

struct ControlLayout
{
    ControlKind enmKind;
    const char* pszName;
    const char* pszCaption; // UTF-8; '&' marks the access key
    int intLeft;
    int intTop;
    int intWidth;
    int intHeight;
    unsigned uFlags = NoFlags;
    const char* pszContainer = nullptr; // the frame that holds it, if any
    int intFontPoints = 0;              // 0: the window's font; else a sans-serif of this size
};

struct FormLayout
{
    const char* pszName;
    const char* pszCaption;
    int intWidth; // client area, twips
    int intHeight;
    std::span<const ControlLayout> controls;
};

// 15 twips to the device-independent pixel (96 dpi); Qt's high-DPI scaling
// maps those to physical pixels.
constexpr int TwipsPerPixel = 15;
constexpr int TwipsToPixels(int intTwips)
{
    // Round half away from zero, for negative offsets as well.
    return intTwips >= 0 ? (intTwips + TwipsPerPixel / 2) / TwipsPerPixel
                         : -((-intTwips + TwipsPerPixel / 2) / TwipsPerPixel);
}
