// Numeric ids of the main window's resources; shared by kestrune.rc and the window code.
// Only #define lines: windres reads this file too.
#ifndef KESTRUNE_RESOURCE_IDS_H
#define KESTRUNE_RESOURCE_IDS_H

// Application icon (16, 32 and 48 px). Lowest icon id, so Explorer shows it for the exe.
#define IDI_KESTRUNE 1

// 24-bit bitmaps, loaded with LoadImageA / LoadBitmapA.
#define IDB_BANNER 101       // 807 x 80, fills the top panel
#define IDB_SIDE_PICTURE 102 // 198 x 159, side panel of the software page, white background
#define IDB_SPLASH 103       // 480 x 300, start-up splash

#endif
