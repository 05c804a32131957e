/* Resource ids shared by replybar.rc and the program; written by gen_assets.py. */
#ifndef REPLYBAR_RESOURCE_IDS_H
#define REPLYBAR_RESOURCE_IDS_H

#define IDI_APP               1
#define IDB_SKIN              101
#define IDB_DESKTOP_NORMAL    110
#define IDB_DESKTOP_HOVER     111
#define IDB_DESKTOP_PRESSED   112
#define IDB_HOME_NORMAL       120
#define IDB_HOME_HOVER        121
#define IDB_HOME_PRESSED      122
#define IDB_LAUNCH_NORMAL     130
#define IDB_LAUNCH_HOVER      131
#define IDB_LAUNCH_PRESSED    132
#define IDB_REPLY_NORMAL      140
#define IDB_REPLY_HOVER       141
#define IDB_REPLY_PRESSED     142
#define IDC_DRAG              150
#define IDI_CLASS0            160
#define IDI_CLASS1            161
#define IDI_CLASS2            162
#define IDI_CLASS3            163
#define IDI_CLASS4            164
#define IDI_CLASS5            165
#define IDI_CLASS6            166
#define IDI_CLASS7            167
#define IDI_CLASS8            168
#define IDI_CLASS9            169

#endif
