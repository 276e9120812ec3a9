#pragma once
#include <string>
#include <string_view>

namespace quirn::ctl {

// Builds compact JSON text. The caller keeps the nesting right; commas are placed here.
class JsonWriter {
  public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // A member name inside an object; the value follows.
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(unsigned number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool flag);
    const std::string& str() const { return out_; }

    // Text as a JSON string literal; bytes outside printable ASCII become \u00XX.
    static std::string quoted(std::string_view text);

  private:
    void separate();
    std::string out_;
    bool needComma_ = false;
};

}  // namespace quirn::ctl
