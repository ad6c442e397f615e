/* Resource and control ids of the connection and communication settings dialogs. */
#ifndef ORPPANEL_LINK_IDS_H
#define ORPPANEL_LINK_IDS_H

#define IDD_COMM_SETTINGS_DE 111
#define IDD_COMM_SETTINGS_EN 161
#define IDD_CONNECT_DE 153
#define IDD_CONNECT_EN 162
#define IDD_TAKEOVER_DE 131
#define IDD_TAKEOVER_EN 163
#define IDD_BLOCKED_DE 164
#define IDD_BLOCKED_EN 148

/* Communication settings. */
#define IDC_BAUD 1051
#define IDC_STOP1 1054
#define IDC_STOP2 1055
#define IDC_PARITY_NONE 1056
#define IDC_PARITY_ODD 1057
#define IDC_PARITY_EVEN 1058
#define IDC_COMPORT 1059
#define IDC_IP1 1060
#define IDC_IP2 1061
#define IDC_IP3 1062
#define IDC_IP4 1063
#define IDC_IPPORT 1064
#define IDC_PROTOCOL 1065
#define IDC_ACTIVE_ON_START 1066
#define IDC_SERIAL 1067
#define IDC_ETHERNET 1068

/* Connection dialogs. */
#define IDC_TAKEOVER 1246
#define IDC_SUPERVISOR 1247
#define IDC_CONNECT_TEXT 1266

/* Texts of the connection progress dialog (German string table). */
#define IDS_CONNECTING 32845
#define IDS_NO_ANSWER 32847
#define IDS_RETRY 32848
#define IDS_UNREACHABLE 32849
#define IDS_TAKEN_OVER 32850
#define IDS_TAKEN_OVER_SUPERVISOR 32851

#endif
