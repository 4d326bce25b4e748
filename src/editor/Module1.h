#pragma once

#include <functional>

class QPlainTextEdit;

// Keeps the scrolling of the editor's two edit boxes equal: Text1, which the user
// types in, and Text2, the mirror whose scroll bars the user sees. A scroll of either
// box is copied to the other, one axis at a time (horizontal positions in pixels,
// vertical ones as the first visible line), and every axis that needed a correction
// is followed by one call of movePic, which moves the picture preview along.

// True while a correction is being carried out; the scroll changes that it causes
// start no further correction.
extern bool ScrollSyncBusy;

// Couples the two boxes until StopScrollSync (or until either box goes away).
void StartScrollSync(QPlainTextEdit* hText1, QPlainTextEdit* hText2, std::function<void()> movePic);
void StopScrollSync();
// The Text1 that is coupled now, or nullptr.
QPlainTextEdit* ScrollSyncText1();

// Brings Text2 to Text1's scroll positions: what follows every change of Text1.
void SyncScrollFromText1();
// Brings Text1 to Text2's scroll positions: what follows the user's scrolling of Text2.
void SyncScrollFromText2();
