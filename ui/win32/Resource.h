/* Resource IDs; plain defines because windres includes this file too. */
#ifndef QUILLBOX_WIN32_RESOURCE_H
#define QUILLBOX_WIN32_RESOURCE_H

#define IDI_QUILLBOX 1

#endif
