#pragma once

// Free functions of the window system, for code that holds window handles rather than window
// objects (layout items hold their control's handle). Each forwards to the installed backend.

#include <cstdint>

#include "platform/win_types.h"

/// Delivers a message to the window object attached to wnd, or to the default handling.
LRESULT SendMessage(HWND wnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
/// What the window system does with a message that no handler took.
LRESULT DefWindowProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);

BOOL IsWindow(HWND wnd);
BOOL IsWindowVisible(HWND wnd);
BOOL IsIconic(HWND wnd);
BOOL GetWindowRect(HWND wnd, RECT* rect);
BOOL GetClientRect(HWND wnd, RECT* rect);
BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint);
HWND GetDlgItem(HWND dialog, int id);
int GetSystemMetrics(int index);
/// Milliseconds on a clock that only moves forward.
std::uint64_t GetTickCount64();
