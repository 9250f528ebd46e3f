#pragma once

#include <QString>

// What a person sees of a text. Two IDs with the same visible form look the
// same on the screen: spaces of any kind, zero-width characters and the way
// accents are encoded make no visible difference.
class CVisibleText
{
public:
    // The text in Unicode's composed form (NFC), without format characters
    // such as zero-width spaces, each run of white space of any kind as one
    // space, trimmed. Empty for a blank text.
    static QString Form(const QString& strText);
    // Whether Form(strText) == strText, found by a scan for most texts.
    static bool IsOwnForm(const QString& strText);

    // The text with control, format and unusual space characters shown as
    // visible marks.
    static QString Marked(const QString& strText);
    // The text as a message or a tooltip quotes it: control, format and
    // unusual space characters shown as visible marks; a text longer than
    // intLongest UTF-16 units shortened in the middle, never inside a
    // character.
    static QString Quoted(const QString& strText, qsizetype intLongest = 64);
};
