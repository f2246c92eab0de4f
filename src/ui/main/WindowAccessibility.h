// SPDX-License-Identifier: GPL-2.0-or-later
// How the main window presents itself to assistive technology.
#pragma once

// A plain top-level QWidget is announced as a filler inside nothing; TForm1 is the application's
// window and is announced with the window role (a "frame" on the accessibility bus). Idempotent.
void RegisterWindowAccessibility();
