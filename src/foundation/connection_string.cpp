#include "foundation/connection_string.h"

static std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

ConnectionFields ParseConnectionString(std::string_view text) {
    ConnectionFields fields;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(';', pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view part = text.substr(pos, end - pos);
        const size_t equals = part.find('=');
        if (equals != std::string_view::npos) {
            std::string key = Lower(part.substr(0, equals));
            while (!key.empty() && key.front() == ' ') key.erase(key.begin());
            while (!key.empty() && key.back() == ' ') key.pop_back();
            fields[key] = std::string(part.substr(equals + 1));
        }
        pos = end + 1;
    }
    return fields;
}

std::string ConnectionField(const ConnectionFields& fields, const char* key) {
    const auto found = fields.find(key);
    return found == fields.end() ? std::string() : found->second;
}
