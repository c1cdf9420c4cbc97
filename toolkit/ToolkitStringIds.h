/* ToolkitStringIds: ids of the toolkit's error texts that reach the user
 * (conversions, lists, formats, files, images, parents). The toolkit loads
 * them from the application's string table, which carries them in every
 * language, and falls back to the English text where a table lacks them.
 * Only #defines: the application's .rc files include this too.
 */
#ifndef ZP_TOOLKIT_TOOLKITSTRINGIDS_H
#define ZP_TOOLKIT_TOOLKITSTRINGIDS_H

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

#endif /* ZP_TOOLKIT_TOOLKITSTRINGIDS_H */
