// The program's message loop.
#pragma once
namespace ui {

// Runs until WM_QUIT; returns its exit code. The keys of every form's
// window go through that form's dialog handling first.
int RunMessageLoop();

}  // namespace ui
