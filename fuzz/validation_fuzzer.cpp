// The validation rules on any field bytes and selections. Every text field
// of the record is filled from the input, then each button's check and the
// set-all check run on their own copies. The rules may only trim the fields
// they trim; user numbers and the password are checked as typed and must
// come out unchanged, like every field no rule reads.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "model/field_text.h"
#include "model/tracker_form.h"
#include "model/validation.h"
#include "fuzz_check.h"

namespace {

using vorlen::TrackerForm;
using F = TrackerForm;

constexpr std::array<std::string F::*, 8> kTrimmedFields{
    &F::centerNumber, &F::intervalTime, &F::uploadCount, &F::fenceRadius,
    &F::fenceInterval, &F::latitude, &F::longitude, &F::userId,
};

bool IsTrimmedField(std::string F::*text) {
    for (std::string F::*trimmed : kTrimmedFields) {
        if (trimmed == text) {
            return true;
        }
    }
    return false;
}

void CheckOnlyTrimmed(const TrackerForm& before, const TrackerForm& after) {
    FUZZ_CHECK(after.fenceEnabled == before.fenceEnabled);
    for (const vorlen::FieldSpec& field : vorlen::ExchangeOrder()) {
        if (field.text == nullptr) {
            continue;
        }
        const std::string& was = before.*field.text;
        const std::string& is = after.*field.text;
        if (IsTrimmedField(field.text)) {
            FUZZ_CHECK(is == was || is == vorlen::Trimmed(was));
        } else {
            FUZZ_CHECK(is == was);
        }
    }
}

// Every button's check on its own copy of the record; true when all pass.
bool AllButtonsPass(const TrackerForm& original, const vorlen::Selections& selections) {
    TrackerForm form = original;
    bool pass = true;
    for (int slot = 1; slot <= 9; ++slot) {
        pass = !vorlen::CheckUserNumber(form, slot) && pass;
    }
    pass = !vorlen::CheckCenterNumber(form) && pass;
    pass = !vorlen::CheckIntervalAndUpload(form, selections) && pass;
    pass = !vorlen::CheckElectricFence(form, selections) && pass;
    pass = !vorlen::CheckUserPassword(form) && pass;
    pass = !vorlen::CheckUserId(form) && pass;
    CheckOnlyTrimmed(original, form);
    return pass;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    vorlen::Selections selections;
    selections.workingMode = input.ConsumeIntegralInRange(-1, 5);
    selections.fenceType = input.ConsumeIntegralInRange(-1, 2);
    TrackerForm original;
    original.fenceEnabled = input.ConsumeIntegral<int>();
    for (const vorlen::FieldSpec& field : vorlen::ExchangeOrder()) {
        if (field.text != nullptr) {
            original.*field.text = input.ConsumeRandomLengthString(64);
        }
    }

    const bool buttonsPass = AllButtonsPass(original, selections);

    TrackerForm form = original;
    const vorlen::Verdict verdict = vorlen::ValidateAllFields(form, selections);
    CheckOnlyTrimmed(original, form);
    // Set-all is at least as strict as the buttons together.
    if (!verdict) {
        FUZZ_CHECK(buttonsPass);
    }
    // The rules read trimmed text, so a second run on the trimmed record
    // decides the same.
    FUZZ_CHECK(vorlen::ValidateAllFields(form, selections) == verdict);
    return 0;
}
