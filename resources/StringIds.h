/* StringIds: identifiers of the programmer application's string table.
 *
 * Every text is loaded from the active resource module at the moment it is
 * shown (never cached at start), so that messages follow the language module
 * that is active then. A language module carries the whole table under these
 * same numbers. Texts with "%s" are Format patterns; "%d" takes an integer.
 *
 * Only #defines here: this file is included by C++ sources and by the .rc
 * files of every language. 65400-65499 belong to the window toolkit's own
 * dialog captions and button texts.
 */
#ifndef ZP_RESOURCES_STRINGIDS_H
#define ZP_RESOURCES_STRINGIDS_H

/* Start-up, main window caption, parallel-port menu, busy guard */
#define S_APPLICATION_TITLE              65000
#define S_MAIN_CAPTION_PREFIX            65001
#define S_MAIN_CAPTION_NO_LIBRARY        65002
#define S_MAIN_CAPTION_USING_LIBRARY     65003
#define S_PORT_DRIVER_NOT_INITIALIZED    65004
#define S_CHECKING_LPT_PORTS             65005
#define S_PORT_278                       65006
#define S_PORT_378                       65007
#define S_PORT_3BC                       65008
#define S_PORT_IS_ECP                    65009
#define S_PORT_IS_BIDIRECTIONAL          65010
#define S_PORT_NOT_BIDIRECTIONAL         65011
#define S_CANCEL_CURRENT_OPERATION       65012
#define S_NO_PARALLEL_PORT               65013

/* Plug-in loading and binding, adapter check, device identification */
#define S_PLUGIN_FILE_NOT_FOUND          65016
#define S_PLUGIN_FUNCTION_MISSING        65017
#define S_PORT_PROGRAMMER_OK             65018
#define S_PORT_NO_PROGRAMMER             65019
#define S_PROGRAMMER_NOT_FOUND           65020
#define S_DEVICE_CHARACTERISTICS         65021
#define S_NO_DEVICE                      65022
#define S_NO_CHARACTERISTICS             65023
#define S_NO_PLUGIN_SELECTED             65293

/* Device operations: erase, read, write, verify with progress and abort */
#define S_DEVICE_ERASED                  65032
#define S_FLASH_FUNCTIONS_DISABLED       65033
#define S_EEPROM_FUNCTIONS_DISABLED      65034
#define S_REALLY_ABORT_OPERATION         65035
#define S_OPERATION_ABORTED              65036
#define S_READING_FLASH_PROGRESS         65037
#define S_READING_EEPROM_PROGRESS        65038
#define S_PROGRAMMING_FLASH_PROGRESS     65039
#define S_PROGRAMMING_EEPROM_PROGRESS    65040
#define S_VERIFYING_FLASH_PROGRESS       65041
#define S_VERIFYING_EEPROM_PROGRESS      65042
#define S_READ_FLASH_ERRORS              65043
#define S_READ_EEPROM_ERRORS             65044
#define S_PROGRAM_FLASH_ERRORS           65045
#define S_PROGRAM_EEPROM_ERRORS          65046
#define S_FLASH_READ_OK                  65047
#define S_EEPROM_READ_OK                 65048
#define S_EEPROM_PROGRAMMED_OK           65049
#define S_VERIFY_FLASH_MISMATCH          65050
#define S_VERIFY_EEPROM_MISMATCH         65051
#define S_FLASH_AND_EEPROM_READ_OK       65052
#define S_READ_BOTH_ERRORS               65053
#define S_MEMORY_SIZE_REFUSED            65054
#define S_PLUGIN_FAULT                   65055
#define S_NO_DEVICE_DETECTED             65264
#define S_FLASH_PROGRAMMED_OK            65274
#define S_FLASH_AND_EEPROM_PROGRAMMED_OK 65275
#define S_PROGRAM_BOTH_ERRORS            65185
#define S_DEVICE_NOT_POWERED_UP          65294
#define S_DEVICE_NOT_ENABLED             65295

/* Intel HEX reader and writer: size checks, format and capacity errors */
#define S_HEX_BUFFER_SIZE_MISMATCH       65064
#define S_HEX_ZERO_LENGTH_BUFFER         65065
#define S_HEX_FORMAT_ERROR               65066
#define S_HEX_DATA_FORMAT_ERROR          65067
#define S_HEX_CAPACITY_EXCEEDED          65068
#define S_HEX_INVALID_RECORD_MARKER      65069
#define S_HEX_INVALID_RECORD_LENGTH      65070
#define S_HEX_INVALID_START_ADDRESS      65071
#define S_HEX_INVALID_RECORD_TYPE        65072
#define S_HEX_INVALID_DATA               65073
#define S_HEX_INVALID_CHECKSUM           65074
#define S_HEX_MISSING_END_RECORD         65075

/* HEX file commands: dialog titles and status texts */
#define S_READ_HEX_TO_FLASH_TITLE        65080
#define S_READ_HEX_TO_EEPROM_TITLE       65081
#define S_SAVE_FLASH_TO_HEX_TITLE        65082
#define S_SAVE_EEPROM_TO_HEX_TITLE       65083
#define S_FLASH_HEX_NOT_LOADED           65084
#define S_EEPROM_HEX_NOT_LOADED          65085
#define S_FLASH_HEX_LOADED               65086
#define S_EEPROM_HEX_LOADED              65087
#define S_FLASH_BUFFER_SAVED             65088
#define S_EEPROM_BUFFER_SAVED            65089

/* Fill Buffer dialog and command (the HEX-number text is shared with cell editing) */
#define S_FILL_FLASH_BUFFER              65096
#define S_FILL_NO_FLASH_DATA             65097
#define S_FILL_EEPROM_BUFFER             65098
#define S_FILL_NO_EEPROM_DATA            65099
#define S_FILL_START_ADDRESS_TOO_HIGH    65100
#define S_FILL_END_ADDRESS_TOO_HIGH      65101
#define S_NOT_A_CORRECT_HEX_NUMBER       65102

/* Grid cells: typed values and cell-selection status texts */
#define S_CHARACTER_NOT_IN_CODE_PAGE     65103
#define S_NOT_A_CORRECT_DECIMAL_NUMBER   65104
#define S_FLASH_DATA_NOT_INITIALIZED     65105
#define S_FLASH_DATA_WRITE_MODE          65106
#define S_FLASH_DATA_READ_ONLY           65107
#define S_EEPROM_DATA_NOT_INITIALIZED    65108
#define S_EEPROM_DATA_WRITE_MODE         65109
#define S_EEPROM_DATA_READ_ONLY          65110

/* Cloning and the Cloning Options dialog */
#define S_CLONE_INSERT_CLONE_DEVICE      65184
#define S_CLONE_FLASH_ERRORS             65186
#define S_CLONE_EEPROM_ERRORS            65187
#define S_CLONE_REMOVE_DEVICE            65188
#define S_CLONE_SERIAL_NUMBERING_ACTIVE  65189
#define S_CLONE_SERIAL_NUMBERING_ENDED   65190
#define S_CLONE_MODIFYING_DATA           65191
#define S_CLONE_MORE_THAN_ONE_DEVICE     65214
#define S_CLONE_INSERT_ORIGINAL_DEVICE   65215
#define S_CLONE_NOT_AN_INTEGER           65288
#define S_CLONE_START_ADDRESS_TOO_HIGH   65289
#define S_CLONE_TOO_MANY_BYTES           65290
#define S_CLONE_START_VALUE_TOO_HIGH     65291
#define S_CLONE_MEMORY_FLASH             65112
#define S_CLONE_MEMORY_EEPROM            65113
#define S_CLONE_ORDER_MSB                65114
#define S_CLONE_ORDER_LSB                65115
#define S_CLONE_NOT_PROGRAMMED           65116

/* Command line and script files */
#define S_SCRIPT_SYNTAX_ERROR            65193
#define S_SCRIPT_READ_ERROR              65194
#define S_SCRIPT_CALLS_SCRIPT            65195
#define S_SCRIPT_PLAY_NEGATIVE           65196

/* Special-bits dialog and programming */
#define S_SB_READ_CATEGORY_FOR_DEVICE    65234
#define S_SB_PROGRAMMING_CANCELED        65235
#define S_SB_HEADER_BIT_NUMBER           65128
#define S_SB_HEADER_NAME                 65129
#define S_SB_HEADER_PROGRAMMED           65130
#define S_SB_YES                         65131
#define S_SB_NO                          65132
#define S_SB_BOX_PROGRAMMED              65133
#define S_SB_BOX_UNPROGRAMMED            65134

/* System Info window: port register edits and read mode */
#define S_SYSINFO_INVALID_VALUE          65144
#define S_SYSINFO_CONTROL_OVER_31        65145
#define S_SYSINFO_READ_MODE_ON           65146
#define S_SYSINFO_READ_MODE_OFF          65147
#define S_SYSINFO_USED_PORT              65148
#define S_SYSINFO_NO_PORT                65149

/* Plug-in browser */
#define S_PLUGINS_HEADER_FILE_NAME       65160
#define S_PLUGINS_HEADER_DATE            65161
#define S_PLUGINS_HEADER_VERSION         65162
#define S_PLUGINS_HEADER_AUTHOR          65163
#define S_PLUGINS_HEADER_DEVICES         65164
#define S_PLUGINS_HEADER_DESCRIPTION     65165
#define S_PLUGINS_NONE_FOUND             65166
#define S_PLUGINS_NOT_AVAILABLE          65167
#define S_PLUGINS_DEVICE_LIST            65168
#define S_PLUGINS_NO_SELECTION           65169

/* Help */
#define S_HELP_FILE_NOT_FOUND            65176

/* Toolkit errors that reach the user: conversions, lists, formats, files, images */
#define S_TK_NOT_A_VALID_INTEGER         65296
#define S_TK_LIST_INDEX_OUT_OF_BOUNDS    65297
#define S_TK_FORMAT_INVALID              65298
#define S_TK_FILE_NOT_FOUND              65299
#define S_TK_FILE_ACCESS_DENIED          65300
#define S_TK_DISK_FULL                   65301
#define S_TK_IO_ERROR                    65302
#define S_TK_INVALID_IMAGE_SIZE          65303
#define S_TK_UNABLE_TO_REPLACE_IMAGE     65304
#define S_TK_PARENT_REQUIRED             65305

/* Toolbar and dock controls: misuse */
#define S_DOCK_INSIDE_TOOLWINDOW         65315
#define S_DOCK_POSITION_HAS_CONTROLS     65316
#define S_TOOLWINDOW_PARENT_NOT_ALLOWED  65317
#define S_TOOLBARSEP_PARENT_NOT_ALLOWED  65318

#endif /* ZP_RESOURCES_STRINGIDS_H */
