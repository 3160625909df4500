/* Resource numbers shared by setup.rc and the code that loads the resources.
   Plain preprocessor definitions: the resource compiler reads this file too. */
#ifndef VELMORA_RESOURCES_RESOURCE_IDS_H
#define VELMORA_RESOURCES_RESOURCE_IDS_H

#define IDI_APPLICATION_ICON 102

#endif
