/* ToolbarStringIds: ids of the toolbar library's texts for a misuse of its
 * docks, tool windows and separators, loaded from the application's string
 * table like the toolkit's own (toolkit/ToolkitStringIds.h).
 * Only #defines: the application's .rc files include this too.
 */
#ifndef ZP_TOOLBARS_TOOLBARSTRINGIDS_H
#define ZP_TOOLBARS_TOOLBARSTRINGIDS_H

#define S_DOCK_INSIDE_TOOLWINDOW         65315
#define S_DOCK_POSITION_HAS_CONTROLS     65316
#define S_TOOLWINDOW_PARENT_NOT_ALLOWED  65317
#define S_TOOLBARSEP_PARENT_NOT_ALLOWED  65318

#endif /* ZP_TOOLBARS_TOOLBARSTRINGIDS_H */
