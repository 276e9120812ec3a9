#include "tools/quirnctl/JsonWriter.h"

#include "platform/Format.h"

namespace quirn::ctl {

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kLastAscii = 0x7E;

}  // namespace

void JsonWriter::separate() {
    if (needComma_) out_ += ',';
    needComma_ = false;
}

JsonWriter& JsonWriter::beginObject() {
    separate();
    out_ += '{';
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    out_ += '}';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separate();
    out_ += '[';
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    out_ += ']';
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    separate();
    out_ += quoted(name);
    out_ += ':';
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    separate();
    out_ += quoted(text);
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(long long number) {
    separate();
    out_ += std::to_string(number);
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    separate();
    out_ += flag ? "true" : "false";
    needComma_ = true;
    return *this;
}

std::string JsonWriter::quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < kFirstPrintable || u > kLastAscii) {
            out += format("\\u%04x", u);
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

}  // namespace quirn::ctl
