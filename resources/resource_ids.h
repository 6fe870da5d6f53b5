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

// Texts of the settings dialog, one string table per language (Japanese, English). Kept apart
// from IDS_SAVER_NAME's block, which must stay language-neutral for the display settings.
#define IDS_DLG_FONT 200             // face name of the dialog's font
#define IDS_DLG_MUSIC 201            // heading of the music-source group
#define IDS_DLG_NONE 202
#define IDS_DLG_CD 203
#define IDS_DLG_FILE 204
#define IDS_DLG_REPEAT 205
#define IDS_DLG_PARTICLES 206
#define IDS_DLG_OK 207
#define IDS_DLG_CANCEL 208
#define IDS_DLG_BROWSE_TITLE 209     // title of the file dialog
#define IDS_DLG_BROWSE_FILTER 210    // its filter: name|patterns|, "|" standing for NUL
#define IDS_DLG_SAVE_FAILED 211      // first line of the message when saving fails
#define IDS_ACC_PRESS 212            // default actions' names, as screen readers speak them
#define IDS_ACC_CHECK 213
#define IDS_ACC_JUMP 214
