#pragma once
// Whether a folder is tagged as a cache: it holds a CACHEDIR.TAG whose first
// bytes are the Cache Directory Tagging signature. The tag is read as any
// program reads a file by its name (a link to a tag counts).
#include <string>
#include <string_view>

// The folder Name inside the open folder FolderFd (-1: Name is a path).
bool HasCacheDirTag(int folderFd, std::string_view name, std::string_view signature);
