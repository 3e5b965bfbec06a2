#pragma once

#include <QIcon>

// The program's own artwork, drawn as vector shapes so it stays sharp at any
// size and display scale.
namespace Pictures {

// The pictures of the main window's commands, by index.
enum Picture {
    Cut = 0,
    Copy = 1,
    Paste = 2,
    Undo = 3,
    Delete = 4,
    Open = 5,
    SaveAs = 6,
    Exit = 7,
    Save = 8,
    Close = 9,
    Find = 10,
    Font = 11,
    Add = 12,
    Remove = 13,
    Move = 14,
    About = 15,
    New = 16,
    Count = 17
};

// The command picture at an index (16 x 16 in its design).
QIcon picture(int index);

// The program icon (32 x 32 in its design).
QIcon programIcon();

// The marks of list rows beside a reference (16 x 16): a hollow circle for a
// text still to translate, a warning triangle for a text with a problem, a
// diamond with a dot for a text to review.
QIcon untranslatedMark();
QIcon problemMark();
QIcon toReviewMark();

} // namespace Pictures
