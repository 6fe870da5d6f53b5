// Resource identifiers, shared by the .rc files and the code that loads them.
#pragma once

#define IDI_APP 1                    // program icon (16, 32, 48, 256 px)
#define IDS_SAVER_NAME 1             // "Lumenweave": the name the display settings list shows

#define IDB_PREVIEW 120              // 152 x 112 still picture of the saver
#define IDB_SKIN_NORMAL 101          // button skins, 64 x 25, 24-bit
#define IDB_SKIN_HIGHLIGHT 102
#define IDB_SKIN_HIGHLIGHTSELECT 103
#define IDB_SKIN_SELECTED 104
#define IDB_SKIN_PRESSED 105
#define IDB_SKIN_DISABLE 106
#define IDB_PANEL_STRIP 110          // 556 x 20 strip tiled over the dialog's panel
#define IDB_RADIO_OFF 111            // 12 x 12 radio marks
#define IDB_RADIO_ON 112
#define IDC_LINK 130                 // hand cursor of the dialog's link
