// libFuzzer target: the document reader against the general-purpose parser. Both must accept
// and refuse the same texts and build the same trees, except where the reader is stricter on
// purpose (a key repeated within one object, nesting beyond the limit, and a raw NUL byte,
// where the general parser quietly stops reading and takes what came before as the document).

#include "support/Json.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

using quillfen::json::Json;

// Notes what the general parser lets through that the reader refuses.
struct Strictness : nlohmann::json_sax<Json> {
    std::vector<std::set<std::string>> keys;
    std::size_t depth = 0;
    bool repeatedKey = false;
    bool tooDeep = false;

    bool enter() {
        tooDeep = tooDeep || ++depth > quillfen::json::kMaxNesting;
        return true;
    }
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override {
        keys.emplace_back();
        return enter();
    }
    bool key(string_t& k) override {
        repeatedKey = repeatedKey || !keys.back().insert(k).second;
        return true;
    }
    bool end_object() override {
        keys.pop_back();
        --depth;
        return true;
    }
    bool start_array(std::size_t) override { return enter(); }
    bool end_array() override {
        --depth;
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto ours = quillfen::json::parse(text);
    if (text.find('\0') != std::string::npos) {
        if (ours) std::abort();
        return 0;
    }
    const Json theirs = Json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (theirs.is_discarded()) {
        if (ours) std::abort(); // accepted what the general parser refuses
        return 0;
    }
    if (!ours) {
        Strictness sax;
        Json::sax_parse(text, &sax);
        if (!sax.repeatedKey && !sax.tooDeep) std::abort(); // refused a plain document
        return 0;
    }
    if (quillfen::json::dump(*ours) != quillfen::json::dump(theirs)) std::abort();
    return 0;
}
