/* Reading and selecting the items of another process's tree view.  A tree
   view answers item texts only into memory of its own process, so the robot
   lends it a buffer there. */
#ifndef VELMORA_E2E_ROBOT_TREE_H
#define VELMORA_E2E_ROBOT_TREE_H

#include <windows.h>

/* Selects the item at path (components separated by backslashes, the first
   one a top-level item such as "C:"), expanding every level above it.  On
   failure writes the reason into why and answers 0. */
int SelectTreePath(HWND tree, const char* path, char* why, int size);

/* "name=image,name=image,..." for the children of the item at path ("" for
   the top level), after expanding it; 0 when the path is not in the tree. */
int DescribeTreeChildren(HWND tree, const char* path, char* out, int size);

#endif
