// Any bytes as what a resident Ghostscript prints, in pieces of a size the
// first byte chooses. Rules: pieces or whole, the same events; without the
// token nothing passes for a record.
#include <cstdint>

#include "fuzz_check.h"
#include "ghostscript/resident_protocol.h"

namespace {

QList<ResidentEvent> eventsOf(QByteArrayView output, qsizetype piece, const QByteArray& token) {
    ResidentOutputParser parser(token);
    QList<ResidentEvent> events;
    for (qsizetype i = 0; i < output.size(); i += piece) {
        events += parser.feed(output.sliced(i, qMin(piece, output.size() - i)).toByteArray());
    }
    events.append(parser.finish());
    return events;
}

bool same(const ResidentEvent& a, const ResidentEvent& b) {
    return a.kind == b.kind && a.job == b.job && a.failed == b.failed && a.reason == b.reason &&
           a.serverClean == b.serverClean;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const qsizetype piece = 1 + data[0] % 64;
    const QByteArrayView output(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);
    const QByteArray token("0123456789abcdef");
    const QList<ResidentEvent> whole = eventsOf(output, output.size() + 1, token);
    const QList<ResidentEvent> pieces = eventsOf(output, piece, token);
    FUZZ_CHECK(whole.size() == pieces.size());
    for (qsizetype i = 0; i < whole.size(); ++i) {
        FUZZ_CHECK(same(whole[i], pieces[i]));
    }
    if (!output.toByteArray().contains(token)) {
        FUZZ_CHECK(whole.size() == 1 && whole[0].kind == ResidentEvent::Kind::ServerEnded);
    }
    return 0;
}
