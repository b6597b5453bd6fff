// Resource and control identifiers of the settings window. The window test's
// probe includes this file too, to find the controls and to post tray events.
#pragma once

#define IDI_ORVANTA 101

#define IDS_TITLE 201
#define IDS_SAVE 202
#define IDS_PREFIX_LABEL 203
#define IDS_UPLOAD 204
#define IDS_GROUP_LABEL 205

// Controls, named as in the window's form.
#define IDC_SAVE_BUTTON 1001   /* 按钮2 */
#define IDC_PREFIX_EDIT 1002   /* 编辑框1 */
#define IDC_PREFIX_LABEL 1003  /* 标签7 */
#define IDC_POINTER_PANE 1004  /* 超文本浏览框1 */
#define IDC_UPLOAD_BUTTON 1005 /* 按钮1 */
#define IDC_GROUP_LABEL 1006   /* 标签4 */
#define IDC_NEWS_PANE 1007     /* 超文本浏览框2 */
#define IDC_GROUP_PANE 1008    /* 超文本浏览框3 */

// The pointer refresh timer 时钟2.
#define IDT_POINTER_TIMER 2

// The tray icon's callback message (WM_APP + 1); lParam is the mouse message.
#define WMAPP_NOTIFYCALLBACK (0x8000 + 1)
