#pragma once
// The export written while several threads list the folders ahead of it.
//
// On a cold cache an export waits for the disk far more than it formats
// text, and a single depth-first walk keeps only one request in flight.
// Here Settings.Threads threads list folders (each reads its entries with
// their details and formats their text at once) and one writer puts the
// folders out in the same depth-first order as the sequential export, so
// the bytes are the same.
//
// The listers take the pending folders in the order the writer needs them,
// and only a bounded window of folders may wait listed for the writer: the
// memory stays a fixed amount plus the listings of the folders the writer
// is inside, whatever the size of the tree. When the writer needs a folder
// that nobody has begun, it lists that one itself.
#include <memory>
#include <string>

#include "engine/ExportOutput.h"
#include "engine/ExportSettings.h"
#include "platform/DirListing.h"

// The tree below Root (its entry, named by its path, and its open listing)
// written into Out after the header; the "]" that ends the export included.
// False with a message when cancelled. An exception that ends a lister
// (memory running out, say) is thrown from here, on the calling thread,
// once every lister has ended.
bool ExportNcduParallel(const TExportSettings& settings, const TDirEntry& root,
                        std::unique_ptr<TDirListing> listing, TExportOutput& out,
                        std::string& error);
