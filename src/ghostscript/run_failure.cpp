#include "ghostscript/run_failure.h"

#include "ghostscript/output_placement.h"
#include "i18n/text_table.h"

std::optional<QString> runFailure(const TextTable& texts, RunEnd end, OutputPlacement& placement,
                                  const QString& incomplete) {
    switch (end.how) {
        case RunEnd::How::Ended:
            return texts[TextId::Tr_ReasonStopped];
        case RunEnd::How::Signalled:
            return texts[TextId::Tr_ReasonGsSignal];
        case RunEnd::How::Exited:
            break;
    }
    if (end.code != 0) {
        return texts[TextId::Tr_ReasonGsExitCode].arg(end.code);
    }
    switch (placement.check()) {
        case OutputPlacement::Check::Missing:
            return texts[TextId::Tr_ReasonNoPdf];
        case OutputPlacement::Check::Incomplete:
            return incomplete;
        case OutputPlacement::Check::Whole:
            break;
    }
    return std::nullopt;
}
