#include "jet/table/properties.h"

#include <cstring>

#include "jet/table/row.h"
#include "jet/text.h"

namespace jet {
namespace {

constexpr std::uint16_t kNamePool = 0x0080;
constexpr std::uint16_t kObjectBlock = 0x0000;
constexpr std::uint16_t kSubObjectBlock = 0x0001;

Status damaged(const char* what) {
    return Status::error(Status::Code::Corrupt, std::string("Poškodené vlastnosti databázy: ") + what + ".");
}

Status decodeValue(ColumnType type, ByteSpan b, Value* out) {
    switch (type) {
    case ColumnType::Bool: *out = !b.empty() && b[0] != 0; return Status::OK();
    case ColumnType::Byte:
    case ColumnType::Int:
    case ColumnType::Long: {
        // Integers are read at the stored width (an INT was seen in 4 bytes).
        std::int64_t v = 0;
        if (b.size() == 1) v = b[0];
        else if (b.size() == 2) v = static_cast<std::int16_t>(le16(b.data()));
        else if (b.size() >= 4) v = static_cast<std::int32_t>(le32(b.data()));
        else return damaged("celé číslo nesprávnej dĺžky");
        *out = v;
        return Status::OK();
    }
    case ColumnType::Text:
    case ColumnType::Memo: {
        std::u16string s;
        decodeText(b, &s);
        *out = std::move(s);
        return Status::OK();
    }
    case ColumnType::Ole:
    case ColumnType::Binary: *out = Bytes(b.begin(), b.end()); return Status::OK();
    default: break;
    }
    ColumnDef c;
    c.type = type;
    c.flags = ColumnDef::kFixed;
    if (!decodeScalar(c, b, out)) return damaged("hodnota kratšia ako jej typ");
    return Status::OK();
}

Status parseRecords(ByteSpan body, const std::vector<std::string>& names, std::vector<Property>* out) {
    std::size_t pos = 0;
    while (pos + 8 <= body.size()) {
        std::size_t length = le16(&body[pos]);
        if (length < 8 || length > body.size() - pos) return damaged("záznam presahuje blok");
        Property p;
        p.ddl = body[pos + 2] != 0;
        p.type = static_cast<ColumnType>(body[pos + 3]);
        std::size_t nameIndex = le16(&body[pos + 4]);
        std::size_t valueLength = le16(&body[pos + 6]);
        if (nameIndex >= names.size()) return damaged("odkaz na neexistujúce meno");
        if (valueLength > length - 8) return damaged("hodnota presahuje záznam");
        p.name = names[nameIndex];
        JET_TRY(decodeValue(p.type, body.subspan(pos + 8, valueLength), &p.value));
        out->push_back(std::move(p));
        pos += length;
    }
    return Status::OK();
}

} // namespace

Status parseProperties(ByteSpan blob, std::string_view object, std::vector<Property>* out) {
    out->clear();
    if (blob.size() < 4 || std::memcmp(blob.data(), "MR2\0", 4) != 0) return damaged("chýba podpis");
    std::vector<std::string> names;
    std::size_t pos = 4;
    while (pos + 6 <= blob.size()) {
        std::size_t length = le32(&blob[pos]);
        std::uint16_t type = le16(&blob[pos + 4]);
        if (length < 6 || length > blob.size() - pos) return damaged("blok presahuje záznam");
        ByteSpan body = blob.subspan(pos + 6, length - 6);
        pos += length;
        if (type == kNamePool) {
            for (std::size_t at = 0; at + 2 <= body.size();) {
                std::size_t n = le16(&body[at]);
                if (n > body.size() - at - 2) return damaged("meno presahuje zoznam mien");
                names.push_back(toUtf8(decodeUcs2(body.subspan(at + 2, n))));
                at += 2 + n;
            }
            continue;
        }
        if (type != kObjectBlock && type != kSubObjectBlock) continue;
        if (body.size() < 6) return damaged("krátky blok");
        std::size_t header = le32(&body[0]);
        std::size_t nameLength = le16(&body[4]);
        if (header < 6 || header > body.size() || nameLength > header - 6)
            return damaged("hlavička bloku presahuje blok");
        std::string name = toUtf8(decodeUcs2(body.subspan(6, nameLength)));
        if (!equalsIgnoreCase(name, object)) continue;
        return parseRecords(body.subspan(header), names, out);
    }
    return Status::OK();
}

} // namespace jet
