// CountRecords against a plain count on any bytes, and the count LogBuffer
// keeps through a run of edits against a full recount of its text.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "check.h"
#include "core/log_buffer.h"
#include "core/record_count.h"
#include "reference.h"

namespace {

using vadozoz::fuzz::CountEorTags;

bool AllAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view whole(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(vadozoz::CountRecords(whole) == CountEorTags(whole));

    FuzzedDataProvider in(data, size);
    int notifications = 0;
    vadozoz::LogChange last{};
    vadozoz::LogBuffer buffer([&](const vadozoz::LogChange& change) {
        ++notifications;
        last = change;
    });
    std::string model;  // what the buffer must hold

    while (in.remaining_bytes() > 0) {
        const std::string before = model;
        notifications = 0;
        switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0:
            case 1: {  // an edit anywhere, now and then past the end
                const auto offset = in.ConsumeIntegralInRange<std::size_t>(0, model.size() + 3);
                const auto removed = in.ConsumeIntegralInRange<std::size_t>(0, 12);
                const std::string inserted = in.ConsumeRandomLengthString(16);
                buffer.Replace(offset, removed, inserted);
                const std::size_t at = std::min(offset, model.size());
                model.replace(at, std::min(removed, model.size() - at), inserted);
                break;
            }
            case 2: {  // text copied from the log itself, as a paste of a selection does
                const auto from = in.ConsumeIntegralInRange<std::size_t>(0, model.size());
                // At most a few lines, or a run of pastes doubles the log each time.
                const auto length = in.ConsumeIntegralInRange<std::size_t>(0, std::min<std::size_t>(model.size() - from, 256));
                const auto offset = in.ConsumeIntegralInRange<std::size_t>(0, model.size());
                const auto removed = in.ConsumeIntegralInRange<std::size_t>(0, 8);
                const std::string copy = model.substr(from, length);
                buffer.Replace(offset, removed, std::string_view(buffer.GetText()).substr(from, length));
                model.replace(offset, std::min(removed, model.size() - offset), copy);
                break;
            }
            case 3: {
                const std::string text = in.ConsumeRandomLengthString(64);
                buffer.Append(text);
                model += text;
                break;
            }
            case 4:
                buffer.Clear();
                model.clear();
                break;
            default: {
                std::string text = in.ConsumeRandomLengthString(256);
                model = text;
                buffer.SetText(std::move(text));
                break;
            }
        }
        FUZZ_CHECK(buffer.GetText() == model);
        FUZZ_CHECK(buffer.RecordCount() == CountEorTags(model), "kept %zu, counted %zu",
                   buffer.RecordCount(), CountEorTags(model));
        FUZZ_CHECK(buffer.RecordCount() == vadozoz::CountRecords(model));
        FUZZ_CHECK(buffer.IsAscii() == AllAscii(model));

        // One notification per real change, none otherwise, and it names
        // exactly the bytes that changed hands.
        if (model == before) {
            FUZZ_CHECK(notifications == 0);
        } else {
            FUZZ_CHECK(notifications == 1);
            FUZZ_CHECK(last.offset + last.removed <= before.size());
            FUZZ_CHECK(model.size() == before.size() - last.removed + last.inserted);
            FUZZ_CHECK(model.compare(0, last.offset, before, 0, last.offset) == 0);
            const std::size_t tail = before.size() - last.offset - last.removed;
            FUZZ_CHECK(model.compare(model.size() - tail, tail, before, before.size() - tail, tail) == 0);
        }
    }
    return 0;
}
