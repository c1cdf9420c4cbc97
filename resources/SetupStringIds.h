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

#endif
