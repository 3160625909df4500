/* Resource numbers shared by setup.rc and the code that loads the resources.
   Plain preprocessor definitions: the resource compiler reads this file too,
   and portable code may include it (no <windows.h> here). */
#ifndef VELMORA_RESOURCES_RESOURCE_IDS_H
#define VELMORA_RESOURCES_RESOURCE_IDS_H

#define IDI_APPLICATION_ICON 102

/* Dialog templates. */
#define IDD_DIRECTORY 103      /* "Select Directory": the directory question */
#define IDD_FOLDER_BROWSER 107 /* "Select path": drives and folders as a tree */
#define IDD_PROGRESS 112       /* "Progress...": the run's progress, modeless */

/* Icons of the folder browser's tree: one per drive type, then folders. */
#define IDI_DRIVE_FIXED 114
#define IDI_DRIVE_REMOVABLE 115
#define IDI_DRIVE_CDROM 116
#define IDI_DRIVE_REMOTE 117
#define IDI_DRIVE_RAMDISK 118
#define IDI_DRIVE_UNKNOWN 119
#define IDI_FOLDER_CLOSED 120
#define IDI_FOLDER_OPEN 121

/* Controls of the directory question. */
#define IDC_DIRECTORY_QUESTION 1000
#define IDC_DIRECTORY_PATH 1001
#define IDC_DIRECTORY_BROWSE 1002

/* Controls of the folder browser.  The check box and the root button are in
   the template but stay hidden and disabled. */
#define IDC_BROWSER_SHOW_HIDDEN 1000
#define IDC_BROWSER_TREE 1042
#define IDC_BROWSER_ROOT 1043

/* Controls of the progress dialog. */
#define IDC_PROGRESS_FILE 1002
#define IDC_PROGRESS_BAR 1041

#endif
