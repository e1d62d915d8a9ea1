// Any bytes as the head of a PostScript file, and as a bounding-box value.
// Rules: a failed scan takes no bounding box; nothing past the scanned head
// changes the result.
#include <cstdint>

#include "fuzz_check.h"
#include "ghostscript/bounding_box.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray head(reinterpret_cast<const char*>(data), qsizetype(size));
    const BoundingBoxScan scan = scanBoundingBox(head);
    FUZZ_CHECK(!(scan.failed && scan.found));
    const BoundingBoxScan limited = scanBoundingBox(head.left(kBoundingBoxScanLimit));
    FUZZ_CHECK(limited.failed == scan.failed && limited.found == scan.found &&
               limited.size.width == scan.size.width && limited.size.height == scan.size.height);
    Split_BoundingBox(QString::fromLatin1(head));
    return 0;
}
