// Data map files (.kvr): any bytes. A file read is exactly the file the
// workspace would write for its grid, and drops on the buffer keep its size
// and only touch the two cells.
#include "fuzzinput.h"

#include "workspace/workspacebuffer.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    const std::optional<DataMapFile> file = readDataMapFile(bytes);
    const bool wellFormed = size >= 2 && size == static_cast<std::size_t>(data[0] + 1) * (data[1] + 1) + 2;
    FUZZ_CHECK(file.has_value() == wellFormed);
    if (!file)
        return 0;
    FUZZ_CHECK(file->width == data[0] + 1 && file->height == data[1] + 1);
    FUZZ_CHECK(file->cells.size() == static_cast<std::size_t>(file->width) * file->height);
    FUZZ_CHECK(dataMapFileBytes(file->width, file->height, file->cells) ==
               std::vector<std::uint8_t>(bytes.begin(), bytes.end()));

    // The cells also name drags: pairs of cell numbers and the keys held.
    std::vector<std::uint8_t> buffer = file->cells;
    for (std::size_t i = 0; i + 2 < file->cells.size() && i < 96; i += 3) {
        const std::size_t source = file->cells[i] * 3u % (buffer.size() + 2);
        const std::size_t target = file->cells[i + 1] * 5u % (buffer.size() + 2);
        const DragKeys keys{(file->cells[i + 2] & 1) != 0, (file->cells[i + 2] & 2) != 0};
        const std::vector<std::uint8_t> before = buffer;
        const bool changed = dropWorkspaceCell(buffer, source, target, keys);
        FUZZ_CHECK(buffer.size() == before.size());
        for (std::size_t cell = 0; cell < buffer.size(); ++cell)
            if (cell != source && cell != target)
                FUZZ_CHECK(buffer[cell] == before[cell]);
        const bool inside = source < buffer.size() && target < buffer.size() && source != target;
        if (!inside) {
            FUZZ_CHECK(!changed && buffer == before);
            continue;
        }
        FUZZ_CHECK(buffer[target] == before[source]);
        const bool exchange = keys.ctrl && !keys.shift;
        const std::uint8_t left = keys.shift && !keys.ctrl ? before[source] : exchange ? before[target] : 0;
        FUZZ_CHECK(buffer[source] == left);
    }
    return 0;
}
