// Classifies the running Windows version into one number: 0 unknown,
// 1 Windows 95, 2 95 OSR2, 3 98, 4 98 SE, 5 Me, 6 NT 3.x, 7 NT 4, 8 2000,
// 9 XP, 10 Server 2003, 11 Vista and every later 6.x.
#pragma once

int GetWindowsVersion();
