// libFuzzer target: exports in ncdu's format as hostile input. An export is
// a file from another machine, written by any tool, so the reader must turn
// anything into either a scan or a message: no crash, no hang, no memory
// beyond what the input pays for. The first byte of an input chooses where
// the reader's pieces end; the rest is the export.
// Besides the sanitizers' findings, every broken promise aborts:
// - the same bytes in other pieces give the same answer;
// - an import that succeeds gives lists of one length, led by the root, and
//   a kept tree whose root lists without error;
// - an import that fails says why;
// - an import succeeds only for strict JSON.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/ByteSource.h"
#include "engine/ImportedTree.h"
#include "engine/NcduImport.h"
#include "tests/engine/StrictJson.h"

namespace {

std::string Root(const std::string&) {
    return "Z:";
}

void Check(bool promise) {
    if (!promise)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t piece = 1 + data[0] % 17;

    TMemorySource whole(text);
    TNcduImport first;
    std::string firstError;
    TImportedTree items;
    const bool imported = ImportNcdu(whole, Root, first, firstError, &items);

    TMemorySource pieces(text, piece);
    TNcduImport second;
    std::string secondError;
    Check(ImportNcdu(pieces, Root, second, secondError) == imported);
    Check(firstError == secondError);
    if (!imported) {
        Check(!firstError.empty());
        return 0;
    }
    Check(first.Dirs == second.Dirs && first.DirSizes == second.DirSizes &&
          first.Percents == second.Percents);
    Check(TStrictJson::IsValue(text));
    Check(!first.Dirs.empty() && first.Dirs[0] == "Z:");
    Check(first.Dirs.size() == first.DirSizes.size() && first.Dirs.size() == first.Percents.size());
    Check(first.Dirs.size() == items.FolderCount());
    Check(items.FolderAt({}) == 0);
    return 0;
}
