/* SetupStringIds: identifiers of the installer's string table (setup.exe).
 * Texts with "%s" are Format patterns. Only #defines here: included by C++
 * sources and by resources/Setup.rc. 65400-65499 belong to the window
 * toolkit's own dialog captions and button texts.
 */
#ifndef ZP_RESOURCES_SETUPSTRINGIDS_H
#define ZP_RESOURCES_SETUPSTRINGIDS_H

#define S_SETUP_TITLE                    1000
#define S_INSTALLING_FROM                1001
#define S_INSTALLING_TO                  1002
#define S_COPYING_FILE                   1003
#define S_SOURCE_MISSING                 1004
#define S_SOURCE_UNREADABLE              1005
#define S_BAD_INSTALL_FOLDER             1006
#define S_BAD_GROUP_NAME                 1007
#define S_NO_PROGRAMS_FOLDER             1008
#define S_NO_PROGRAMS_FOLDER_UNINSTALL   1009
#define S_SHELL_LINK_FAILED              1010
#define S_WINDOWS_INSTALL_FOLDER         1011
#define S_RESERVED_INSTALL_FOLDER        1012
#define S_LONG_INSTALL_FOLDER            1013
#define S_OTHER_FOLDER_QUESTION          1014
#define S_OTHER_FOLDER_DECLINED          1015
#define S_DESTINATION_UNWRITABLE         1016
#define S_PLACEHOLDER_KEPT               1017
#define S_GROUP_NOT_MADE                 1018
#define S_FOLDER_NOT_MADE                1019
#define S_LINK_NOT_MADE                  1020
#define S_INSTALL_PARTIAL                1021
#define S_FOLDER_NOT_REMOVABLE           1022
#define S_FOLDER_NOT_OURS                1023
#define S_GROUP_HOLDS_OTHERS             1024
#define S_FOLDER_HOLDS_OTHERS            1025
#define S_LINK_NOT_DELETED               1026
#define S_RECORD_KEPT                    1027

#endif
