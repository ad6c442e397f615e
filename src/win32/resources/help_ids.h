/* Ids of the About box and of the questions that offer to look for a help file. */
#ifndef ORPPANEL_HELP_IDS_H
#define ORPPANEL_HELP_IDS_H

#define IDD_ABOUT 101
#define IDC_ABOUT_NAME 1001
#define IDC_ABOUT_LINE 1002

#define IDS_ASK_HELP_FILE 32842
#define IDS_ASK_CONTEXT_ENTRY 32843
#define IDS_ASK_CONTEXT_FILE 32844

#endif
