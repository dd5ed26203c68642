/* Resource identifiers shared by the resource script and the Windows backend.
   The program icon has the lowest icon id, so it is also the file's icon. */
#pragma once
#define KQ_APP_ICON 1
