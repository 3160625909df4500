/* The version of the programs: SETUP.EXE's version resource, its logs and
   `velmora --version`.  Plain preprocessor definitions: the resource
   compiler reads this file too. */
#ifndef VELMORA_PLATFORM_PROGRAM_VERSION_H
#define VELMORA_PLATFORM_PROGRAM_VERSION_H

#define VELMORA_VERSION_MAJOR 0
#define VELMORA_VERSION_MINOR 2
#define VELMORA_VERSION_PATCH 0
#define VELMORA_VERSION_TEXT "0.2.0"

#endif
