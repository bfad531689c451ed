#include "mdbwriter.h"

#include "asciicase.h"
#include "safewrite.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace sheetcraft {

namespace {

constexpr std::size_t pageSize = 4096;
using Page = std::array<std::uint8_t, pageSize>;
using Bytes = std::vector<std::uint8_t>;

// Jet 4 page and column layout (offsets within a page or entry).
constexpr std::size_t dataRowCountAt = 12; // data page: number of rows, then their offsets
constexpr std::size_t dataHeaderSize = 14;
constexpr std::size_t tdefColumnsAt = 63; // first column entry after the fixed header
constexpr std::size_t columnEntrySize = 25;
constexpr std::size_t maxRowsPerPage = 255; // a row pointer keeps the row number in one byte

enum TypeCode : std::uint8_t {
    codeByte = 0x02,
    codeInteger = 0x03,
    codeLong = 0x04,
    codeCurrency = 0x05,
    codeSingle = 0x06,
    codeDouble = 0x07,
    codeText = 0x0a,
    codeOle = 0x0b,
};

struct Column {
    std::string name;
    std::uint8_t code = codeText;
    std::uint16_t size = 0; // bytes: fixed size, or the text's most bytes
    bool fixed = false;
    std::uint16_t number = 0;   // position in the null mask
    std::uint16_t fixedAt = 0;  // offset in the fixed part of a row
    std::uint16_t varIndex = 0; // slot in the row's variable-offset table
};

struct Table {
    std::string name;
    bool system = false;
    std::vector<Column> columns;
    std::vector<Bytes> rows;
    std::uint32_t tdefPage = 0;
    std::uint32_t firstDataPage = 0;
    std::vector<Page> dataPages;
    std::uint32_t usedMapRef = 0; // page << 8 | row of its usage map
    std::uint32_t freeMapRef = 0;
};

void put16(std::uint8_t *p, unsigned v) {
    p[0] = v & 0xff;
    p[1] = (v >> 8) & 0xff;
}

void put32(std::uint8_t *p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = (v >> (8 * i)) & 0xff;
}

void append16(Bytes &b, unsigned v) {
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}

template <typename T> void appendRaw(Bytes &b, T v) {
    // The file is little-endian, as is every machine this runs on.
    std::uint8_t raw[sizeof(T)];
    std::memcpy(raw, &v, sizeof(T));
    b.insert(b.end(), raw, raw + sizeof(T));
}

// UTF-8 to code points; only the Basic Multilingual Plane is stored.
std::vector<char16_t> decodeUtf8(const std::string &s, const std::string &where) {
    std::vector<char16_t> out;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        unsigned cp = 0;
        int extra = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xe0) == 0xc0) {
            cp = c & 0x1f;
            extra = 1;
        } else if ((c & 0xf0) == 0xe0) {
            cp = c & 0x0f;
            extra = 2;
        } else {
            throw MdbWriteError(where + ": text is not UTF-8 or lies outside the BMP");
        }
        if (extra > 0 && i + extra >= s.size())
            throw MdbWriteError(where + ": text ends inside a UTF-8 sequence");
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = s[i + k];
            if ((cc & 0xc0) != 0x80)
                throw MdbWriteError(where + ": text is not UTF-8");
            cp = (cp << 6) | (cc & 0x3f);
        }
        out.push_back(static_cast<char16_t>(cp));
        i += extra + 1;
    }
    return out;
}

// Jet 4 text: the short "compressed" form (FF FE, then one byte a character)
// when every character fits a byte and it saves space, else UTF-16LE.
Bytes encodeText(const std::vector<char16_t> &chars) {
    Bytes b;
    bool compressible = chars.size() > 2 && std::all_of(chars.begin(), chars.end(), [](char16_t c) {
                            return c != 0 && c < 0x100;
                        });
    if (compressible) {
        b.push_back(0xff);
        b.push_back(0xfe);
        for (char16_t c : chars)
            b.push_back(static_cast<std::uint8_t>(c));
    } else {
        for (char16_t c : chars)
            append16(b, c);
    }
    return b;
}

template <typename Int> Int parseInteger(const std::string &text, const std::string &where) {
    long long v = 0;
    const char *first = text.data();
    const char *last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    auto [p, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || p != last || v < std::numeric_limits<Int>::min() ||
        v > std::numeric_limits<Int>::max())
        throw MdbWriteError(where + ": \"" + text + "\" is not a whole number in range");
    return static_cast<Int>(v);
}

double parseReal(const std::string &text, const std::string &where) {
    double v = 0;
    const char *first = text.data();
    const char *last = first + text.size();
    if (first != last && *first == '+')
        ++first;
    auto [p, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || p != last || !std::isfinite(v))
        throw MdbWriteError(where + ": \"" + text + "\" is not a number");
    return v;
}

// Currency is a 64-bit count of ten-thousandths; parsed exactly from the
// decimal text so that 0.1 stays 1000 units.
std::int64_t parseCurrency(const std::string &text, const std::string &where) {
    auto bad = [&] { return MdbWriteError(where + ": \"" + text + "\" is not a currency amount"); };
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::int64_t units = 0;
    int decimals = -1;
    bool digits = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9')
            throw bad();
        if (decimals >= 4)
            throw bad();
        if (decimals >= 0)
            ++decimals;
        if (units > (std::numeric_limits<std::int64_t>::max() - (c - '0')) / 10)
            throw bad();
        units = units * 10 + (c - '0');
        digits = true;
    }
    if (!digits)
        throw bad();
    for (int d = std::max(decimals, 0); d < 4; ++d) {
        if (units > std::numeric_limits<std::int64_t>::max() / 10)
            throw bad();
        units *= 10;
    }
    return negative ? -units : units;
}

// The bytes one cell occupies in a row; empty optional for null.
std::optional<Bytes> encodeCell(const Column &col, const MdbCell &cell, const std::string &where) {
    if (!cell)
        return std::nullopt;
    const std::string &t = *cell;
    Bytes b;
    switch (col.code) {
    case codeByte:
        b.push_back(parseInteger<std::uint8_t>(t, where));
        break;
    case codeInteger:
        appendRaw(b, parseInteger<std::int16_t>(t, where));
        break;
    case codeLong:
        appendRaw(b, parseInteger<std::int32_t>(t, where));
        break;
    case codeSingle: {
        double d = parseReal(t, where);
        if (std::fabs(d) > std::numeric_limits<float>::max())
            throw MdbWriteError(where + ": \"" + t + "\" is too large for Single");
        appendRaw(b, static_cast<float>(d));
        break;
    }
    case codeDouble:
        appendRaw(b, parseReal(t, where));
        break;
    case codeCurrency:
        appendRaw(b, parseCurrency(t, where));
        break;
    case codeText: {
        auto chars = decodeUtf8(t, where);
        if (chars.size() * 2 > col.size)
            throw MdbWriteError(where + ": text longer than " + std::to_string(col.size / 2) +
                                " characters");
        b = encodeText(chars);
        break;
    }
    default:
        throw MdbWriteError(where + ": this column type holds only nulls");
    }
    return b;
}

// A Jet 4 row: column count, fixed part, variable part, the variable-offset
// table stored backwards (end of data first), its length, then the null mask
// (one bit a column, set when the value is present).
Bytes encodeRow(const std::vector<Column> &cols, const std::vector<std::optional<Bytes>> &cells) {
    std::size_t fixedSize = 0;
    std::size_t varCount = 0;
    for (const Column &c : cols) {
        if (c.fixed)
            fixedSize = std::max<std::size_t>(fixedSize, c.fixedAt + c.size);
        else
            ++varCount;
    }
    Bytes row;
    append16(row, static_cast<unsigned>(cols.size()));
    row.resize(2 + fixedSize, 0);
    std::vector<std::uint8_t> mask((cols.size() + 7) / 8, 0);
    std::vector<unsigned> varStarts(varCount, 0);
    for (std::size_t i = 0; i < cols.size(); ++i) {
        const Column &c = cols[i];
        if (cells[i])
            mask[c.number / 8] |= static_cast<std::uint8_t>(1u << (c.number % 8));
        if (c.fixed && cells[i])
            std::copy(cells[i]->begin(), cells[i]->end(), row.begin() + 2 + c.fixedAt);
    }
    if (varCount > 0) {
        for (std::size_t i = 0; i < cols.size(); ++i) {
            const Column &c = cols[i];
            if (c.fixed)
                continue;
            varStarts[c.varIndex] = static_cast<unsigned>(row.size());
            if (cells[i])
                row.insert(row.end(), cells[i]->begin(), cells[i]->end());
        }
        append16(row, static_cast<unsigned>(row.size())); // end of the variable data
        for (std::size_t v = varCount; v-- > 0;)
            append16(row, varStarts[v]);
        append16(row, static_cast<unsigned>(varCount));
    }
    row.insert(row.end(), mask.begin(), mask.end());
    return row;
}

Page dataPageHeader(std::uint32_t tdefPage) {
    Page p{};
    p[0] = 0x01;
    p[1] = 0x01;
    put32(&p[4], tdefPage);
    return p;
}

// Packs rows into data pages: row offsets grow from the header, rows from the
// end of the page downwards.
std::vector<Page> paginate(const std::vector<Bytes> &rows, std::uint32_t tdefPage,
                           const std::string &tableName) {
    std::vector<Page> pages;
    Page page = dataPageHeader(tdefPage);
    std::size_t count = 0;
    std::size_t top = pageSize; // lowest byte used by rows
    auto flush = [&] {
        put16(&page[dataRowCountAt], static_cast<unsigned>(count));
        put16(&page[2], static_cast<unsigned>(top - (dataHeaderSize + 2 * count)));
        pages.push_back(page);
        page = dataPageHeader(tdefPage);
        count = 0;
        top = pageSize;
    };
    for (const Bytes &row : rows) {
        if (row.size() + dataHeaderSize + 2 > pageSize)
            throw MdbWriteError(tableName + ": a row is too long for one page");
        if (count == maxRowsPerPage || top < row.size() + dataHeaderSize + 2 * (count + 1))
            flush();
        top -= row.size();
        std::copy(row.begin(), row.end(), page.begin() + top);
        put16(&page[dataHeaderSize + 2 * count], static_cast<unsigned>(top));
        ++count;
    }
    if (count > 0)
        flush();
    return pages;
}

void layOutColumns(std::vector<Column> &cols) {
    std::uint16_t fixedAt = 0;
    std::uint16_t varIndex = 0;
    for (std::size_t i = 0; i < cols.size(); ++i) {
        Column &c = cols[i];
        c.number = static_cast<std::uint16_t>(i);
        if (c.fixed) {
            c.fixedAt = fixedAt;
            fixedAt = static_cast<std::uint16_t>(fixedAt + c.size);
        } else {
            c.varIndex = varIndex++;
        }
    }
}

Column makeColumn(const MdbColumnDef &def, const std::string &where) {
    Column c;
    c.name = def.name;
    switch (def.type) {
    case MdbColumnType::Text:
        if (def.textLength < 1 || def.textLength > 255)
            throw MdbWriteError(where + ": text length must be 1 to 255");
        c.code = codeText;
        c.size = static_cast<std::uint16_t>(2 * def.textLength);
        return c;
    case MdbColumnType::Byte:
        c.code = codeByte;
        c.size = 1;
        break;
    case MdbColumnType::Integer:
        c.code = codeInteger;
        c.size = 2;
        break;
    case MdbColumnType::LongInteger:
        c.code = codeLong;
        c.size = 4;
        break;
    case MdbColumnType::Single:
        c.code = codeSingle;
        c.size = 4;
        break;
    case MdbColumnType::Double:
        c.code = codeDouble;
        c.size = 8;
        break;
    case MdbColumnType::Currency:
        c.code = codeCurrency;
        c.size = 8;
        break;
    }
    c.fixed = true;
    return c;
}

void appendName(Bytes &b, const std::string &name, const std::string &where) {
    auto chars = decodeUtf8(name, where);
    append16(b, static_cast<unsigned>(chars.size() * 2));
    for (char16_t ch : chars)
        append16(b, ch);
}

Page tableDefinitionPage(const Table &t) {
    Bytes b(tdefColumnsAt, 0);
    b[0] = 0x02;
    b[1] = 0x01;
    put32(&b[16], static_cast<std::uint32_t>(t.rows.size()));
    b[40] = t.system ? 0x53 : 0x4e;
    std::uint16_t varCount = 0;
    for (const Column &c : t.columns)
        varCount += c.fixed ? 0 : 1;
    put16(&b[41], static_cast<unsigned>(t.columns.size()));
    put16(&b[43], varCount);
    put16(&b[45], static_cast<unsigned>(t.columns.size()));
    put32(&b[55], t.usedMapRef);
    put32(&b[59], t.freeMapRef);
    for (const Column &c : t.columns) {
        std::uint8_t e[columnEntrySize] = {};
        e[0] = c.code;
        put16(&e[5], c.number);
        put16(&e[7], c.fixed ? 0 : c.varIndex);
        put16(&e[9], c.number);
        if (c.code == codeText)
            put16(&e[11], 0x409);                                          // "General" sort order
        e[15] = static_cast<std::uint8_t>((c.fixed ? 0x01 : 0x00) | 0x02); // may be null
        e[16] = c.code == codeText ? 0x01 : 0x00; // compressed text allowed
        put16(&e[21], c.fixed ? c.fixedAt : 0);
        put16(&e[23], c.size);
        b.insert(b.end(), e, e + columnEntrySize);
    }
    for (const Column &c : t.columns)
        appendName(b, c.name, t.name);
    if (b.size() > pageSize)
        throw MdbWriteError(t.name + ": too many columns for one definition page");
    put32(&b[8], static_cast<std::uint32_t>(b.size() - 8));
    Page p{};
    std::copy(b.begin(), b.end(), p.begin());
    put16(&p[2], static_cast<unsigned>(pageSize - b.size()));
    return p;
}

// RC4, used only to scramble the part of the header page that readers
// unscramble with a fixed key.
void rc4Xor(std::uint8_t *data, std::size_t len, const std::uint8_t *key, std::size_t keyLen) {
    std::uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<std::uint8_t>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % keyLen]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (std::size_t n = 0, i = 0, j = 0; n < len; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        data[n] ^= s[(s[i] + s[j]) & 0xff];
    }
}

Page headerPage() {
    Page p{};
    p[1] = 0x01;
    const char id[] = "Standard Jet DB";
    std::memcpy(&p[4], id, sizeof id);
    put32(&p[0x14], 1);     // Jet 4
    put16(&p[0x3c], 1252);  // code page
    put32(&p[0x3e], 0);     // no page encryption
    put16(&p[0x6e], 0x409); // sort order: General
    const std::uint8_t key[] = {0xc7, 0xda, 0x39, 0x6b};
    rc4Xor(&p[0x18], 128, key, sizeof key);
    return p;
}

// Type 0 usage map: the first page it covers, then one bit a page.
Bytes usageMap(std::uint32_t firstPage, std::size_t pageCount) {
    Bytes m(5, 0);
    put32(&m[1], pageCount ? firstPage : 0);
    std::size_t bytes = std::max<std::size_t>(1, (pageCount + 7) / 8);
    m.resize(5 + bytes, 0);
    for (std::size_t i = 0; i < pageCount; ++i)
        m[5 + i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
    return m;
}

// Pages that one bitmap page of a type 1 usage map covers.
constexpr std::size_t bitsPerMapPage = (pageSize - 4) * 8;

// A type 0 map that would not fit on a page by itself.
bool needsPagedMap(std::size_t pageCount) {
    return 5 + (pageCount + 7) / 8 + 2 + dataHeaderSize > pageSize;
}

// Type 1 usage map, for tables too large for one row of bits: the numbers of
// bitmap pages, the i-th covering pages from i * bitsPerMapPage on. Takes the
// numbers from `next` and appends the bitmap pages to `pages`.
Bytes pagedUsageMap(std::uint32_t firstPage, std::size_t pageCount, std::uint32_t &next,
                    std::vector<std::pair<std::uint32_t, Page>> &pages) {
    const std::size_t last = firstPage + pageCount - 1;
    Bytes m(1 + 4 * (last / bitsPerMapPage + 1), 0);
    m[0] = 1;
    for (std::size_t i = firstPage / bitsPerMapPage; i <= last / bitsPerMapPage; ++i) {
        Page bitmap{};
        bitmap[0] = 0x05;
        bitmap[1] = 0x01;
        const std::size_t from = std::max<std::size_t>(firstPage, i * bitsPerMapPage);
        const std::size_t to = std::min(last + 1, (i + 1) * bitsPerMapPage);
        for (std::size_t page = from; page < to; ++page) {
            const std::size_t bit = page - i * bitsPerMapPage;
            bitmap[4 + bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
        }
        put32(&m[1 + 4 * i], next);
        pages.emplace_back(next++, bitmap);
    }
    return m;
}

// A table's properties as they are kept beside its catalog row: a list of
// property names, then one block for the table and one per column, each
// entry naming its property by index. Written so that copies of the file
// exercise the readers' property parsing as real databases do.
Bytes propertyBlob(const Table &t) {
    const std::vector<std::string> names{"DefaultView", "OrderByOn",   "Description",
                                         "ColumnWidth", "ColumnOrder", "ColumnHidden"};
    auto utf16 = [](const std::string &text) {
        Bytes b;
        for (char16_t ch : decodeUtf8(text, "property"))
            append16(b, ch);
        return b;
    };
    auto entry = [](Bytes &block, std::uint8_t type, unsigned name, const Bytes &value) {
        append16(block, static_cast<unsigned>(8 + value.size()));
        block.push_back(0); // not a definition-level property
        block.push_back(type);
        append16(block, name);
        append16(block, static_cast<unsigned>(value.size()));
        block.insert(block.end(), value.begin(), value.end());
    };
    auto chunk = [](Bytes &blob, std::uint16_t type, const Bytes &body) {
        Bytes head(6, 0);
        put32(&head[0], static_cast<std::uint32_t>(6 + body.size()));
        put16(&head[4], type);
        blob.insert(blob.end(), head.begin(), head.end());
        blob.insert(blob.end(), body.begin(), body.end());
    };
    auto block = [&](const std::string &owner, const Bytes &entries) {
        Bytes b(4, 0);
        const Bytes name = utf16(owner);
        put32(&b[0], static_cast<std::uint32_t>(6 + name.size() + entries.size()));
        append16(b, static_cast<unsigned>(name.size()));
        b.insert(b.end(), name.begin(), name.end());
        b.insert(b.end(), entries.begin(), entries.end());
        return b;
    };

    Bytes blob{'M', 'R', '2', 0};
    Bytes list;
    for (const std::string &n : names) {
        const Bytes text = utf16(n);
        append16(list, static_cast<unsigned>(text.size()));
        list.insert(list.end(), text.begin(), text.end());
    }
    chunk(blob, 0x80, list);
    Bytes tableEntries;
    entry(tableEntries, codeByte, 0, {2});
    entry(tableEntries, 0x01 /* yes/no */, 1, {0});
    entry(tableEntries, 0x0c /* memo */, 2, utf16("Kept by the fixture writer: " + t.name));
    chunk(blob, 0x00, block(t.name, tableEntries));
    for (const Column &c : t.columns) {
        Bytes entries, width(2), order(2);
        put16(width.data(), 1440);
        put16(order.data(), c.number + 1u);
        entry(entries, codeInteger, 3, width);
        entry(entries, codeInteger, 4, order);
        entry(entries, 0x01, 5, {0});
        entry(entries, 0x0c, 2, utf16("The " + c.name + " of each record, as entered"));
        chunk(blob, 0x00, block(c.name, entries));
    }
    return blob;
}

// Long values run in a chain of rows, each on a page of its own here: a row
// starts with the page and row of the next (0 on the last), then its part.
constexpr std::size_t longValuePart = 1024;

std::vector<Page> longValuePages(const Bytes &value, std::uint32_t firstPage) {
    std::vector<Page> pages;
    for (std::size_t at = 0; at < value.size(); at += longValuePart) {
        const std::size_t n = std::min(longValuePart, value.size() - at);
        const bool last = at + n >= value.size();
        Bytes row(4, 0);
        put32(row.data(),
              last ? 0 : (firstPage + static_cast<std::uint32_t>(pages.size()) + 1) << 8);
        row.insert(row.end(), value.begin() + static_cast<std::ptrdiff_t>(at),
                   value.begin() + static_cast<std::ptrdiff_t>(at + n));
        Page p = paginate({row}, 0, "properties").front();
        std::memcpy(&p[4], "LVAL", 4);
        pages.push_back(p);
    }
    return pages;
}

} // namespace

std::optional<MdbColumnType> mdbColumnTypeFromName(const std::string &name) {
    static const std::pair<const char *, MdbColumnType> names[] = {
        {"text", MdbColumnType::Text},         {"long integer", MdbColumnType::LongInteger},
        {"integer", MdbColumnType::Integer},   {"byte", MdbColumnType::Byte},
        {"single", MdbColumnType::Single},     {"double", MdbColumnType::Double},
        {"currency", MdbColumnType::Currency},
    };
    std::string l = toLowerAscii(name);
    for (const auto &[n, t] : names) {
        if (l == n)
            return t;
    }
    return std::nullopt;
}

std::vector<unsigned char> buildMdb(const std::vector<MdbTableData> &input) {
    std::vector<Table> tables;

    // The catalog: one row per table, its Id the page of the table's definition.
    Table catalog;
    catalog.name = "MSysObjects";
    catalog.system = true;
    catalog.columns = {makeColumn({"Id", MdbColumnType::LongInteger}, "catalog"),
                       makeColumn({"ParentId", MdbColumnType::LongInteger}, "catalog"),
                       makeColumn({"Name", MdbColumnType::Text, 128}, "catalog"),
                       makeColumn({"Type", MdbColumnType::Integer}, "catalog"),
                       makeColumn({"Flags", MdbColumnType::LongInteger}, "catalog")};
    Column props;
    props.name = "LvProp"; // the table's properties, a long value
    props.code = codeOle;
    catalog.columns.push_back(props);
    layOutColumns(catalog.columns);
    catalog.tdefPage = 2;
    tables.push_back(catalog);

    std::vector<std::string> seen{toLowerAscii(catalog.name)};
    for (const MdbTableData &in : input) {
        if (in.name.empty() || in.name.size() > 64)
            throw MdbWriteError("table name must be 1 to 64 characters: \"" + in.name + "\"");
        if (std::find(seen.begin(), seen.end(), toLowerAscii(in.name)) != seen.end())
            throw MdbWriteError("table \"" + in.name + "\" given twice");
        seen.push_back(toLowerAscii(in.name));
        if (in.columns.empty() || in.columns.size() > 255)
            throw MdbWriteError(in.name + ": a table needs 1 to 255 columns");
        Table t;
        t.name = in.name;
        std::vector<std::string> colNames;
        for (const MdbColumnDef &def : in.columns) {
            if (def.name.empty() || def.name.size() > 64)
                throw MdbWriteError(in.name + ": column name must be 1 to 64 characters");
            if (std::find(colNames.begin(), colNames.end(), toLowerAscii(def.name)) !=
                colNames.end())
                throw MdbWriteError(in.name + ": column \"" + def.name + "\" given twice");
            colNames.push_back(toLowerAscii(def.name));
            t.columns.push_back(makeColumn(def, in.name + "." + def.name));
        }
        layOutColumns(t.columns);
        t.rows.reserve(in.rows.size());
        std::size_t rowNumber = 0;
        for (const auto &cells : in.rows) {
            ++rowNumber;
            std::string where = in.name + " row " + std::to_string(rowNumber);
            if (cells.size() != t.columns.size())
                throw MdbWriteError(where + ": " + std::to_string(cells.size()) + " values for " +
                                    std::to_string(t.columns.size()) + " columns");
            std::vector<std::optional<Bytes>> encoded;
            encoded.reserve(cells.size());
            for (std::size_t i = 0; i < cells.size(); ++i)
                encoded.push_back(
                    encodeCell(t.columns[i], cells[i], where + ", " + t.columns[i].name));
            t.rows.push_back(encodeRow(t.columns, encoded));
        }
        tables.push_back(std::move(t));
    }

    // Page plan: 0 header, 1 usage maps, 2 catalog definition, then each user
    // table's definition and data pages, then the catalog's data pages, then
    // the tables' property pages, then the bitmap pages of large tables'
    // usage maps and any further map pages.
    std::uint32_t next = 3;
    for (std::size_t i = 1; i < tables.size(); ++i) {
        Table &t = tables[i];
        t.tdefPage = next++;
        t.dataPages = paginate(t.rows, t.tdefPage, t.name);
        t.firstDataPage = next;
        next += static_cast<std::uint32_t>(t.dataPages.size());
    }
    // The catalog's rows, each with a reference to its table's properties;
    // written twice, since the property pages follow the catalog's own pages
    // and the references do not change the rows' sizes.
    std::vector<Bytes> blobs;
    for (std::size_t i = 1; i < tables.size(); ++i)
        blobs.push_back(propertyBlob(tables[i]));
    auto catalogRows = [&](std::uint32_t firstPropertyPage) {
        std::vector<Bytes> rows;
        // The catalog lists itself too, flagged as a system table.
        std::vector<std::optional<Bytes>> self;
        const std::vector<MdbCell> selfCells{"2", "251658241", "MSysObjects", "1", "-2147483646"};
        for (std::size_t c = 0; c < selfCells.size(); ++c)
            self.push_back(encodeCell(tables[0].columns[c], selfCells[c], "catalog"));
        self.push_back(std::nullopt);
        rows.push_back(encodeRow(tables[0].columns, self));
        std::uint32_t page = firstPropertyPage;
        for (std::size_t i = 1; i < tables.size(); ++i) {
            const Table &t = tables[i];
            const Bytes &blob = blobs[i - 1];
            // The long value's reference: its length (no flags: a chain of
            // rows), then the page and row of its first part.
            Bytes reference(12, 0);
            put32(&reference[0], static_cast<std::uint32_t>(blob.size()));
            put32(&reference[4], page << 8);
            page += static_cast<std::uint32_t>((blob.size() + longValuePart - 1) / longValuePart);
            const std::vector<MdbCell> cells{std::to_string(t.tdefPage),
                                             "251658241" /* Tables folder */, t.name, "1", "0"};
            std::vector<std::optional<Bytes>> encoded;
            for (std::size_t c = 0; c < cells.size(); ++c)
                encoded.push_back(encodeCell(tables[0].columns[c], cells[c], "catalog"));
            encoded.push_back(reference);
            rows.push_back(encodeRow(tables[0].columns, encoded));
        }
        return rows;
    };
    const std::size_t catalogPages = paginate(catalogRows(0), 2, "MSysObjects").size();
    tables[0].firstDataPage = next;
    tables[0].rows = catalogRows(next + static_cast<std::uint32_t>(catalogPages));
    tables[0].dataPages = paginate(tables[0].rows, 2, "MSysObjects");
    next += static_cast<std::uint32_t>(catalogPages);
    std::vector<std::pair<std::uint32_t, Page>> propertyPages;
    for (const Bytes &blob : blobs)
        for (const Page &p : longValuePages(blob, next))
            propertyPages.emplace_back(next++, p);

    // Usage maps, two rows a table, packed into map pages.
    std::vector<Bytes> mapRows;
    std::vector<std::pair<std::uint32_t, Page>> bitmapPages;
    for (const Table &t : tables) {
        mapRows.push_back(
            needsPagedMap(t.dataPages.size())
                ? pagedUsageMap(t.firstDataPage, t.dataPages.size(), next, bitmapPages)
                : usageMap(t.firstDataPage, t.dataPages.size()));
        mapRows.push_back(usageMap(0, 0)); // no page is offered for inserts
    }
    std::vector<Page> mapPages;
    std::vector<std::uint32_t> mapPageNumbers;
    {
        std::size_t r = 0;
        while (r < mapRows.size()) {
            std::uint32_t pageNumber = mapPages.empty() ? 1 : next++;
            std::vector<Bytes> chunk;
            std::size_t used = dataHeaderSize;
            while (r < mapRows.size() && chunk.size() < maxRowsPerPage &&
                   used + mapRows[r].size() + 2 <= pageSize) {
                used += mapRows[r].size() + 2;
                chunk.push_back(mapRows[r]);
                std::size_t tableIndex = r / 2;
                std::uint32_t ref =
                    (pageNumber << 8) | static_cast<std::uint32_t>(chunk.size() - 1);
                if (r % 2 == 0)
                    tables[tableIndex].usedMapRef = ref;
                else
                    tables[tableIndex].freeMapRef = ref;
                ++r;
            }
            if (chunk.empty())
                throw MdbWriteError("a table is too large for its usage map");
            auto pages = paginate(chunk, 0, "usage maps");
            mapPages.push_back(pages.front());
            mapPageNumbers.push_back(pageNumber);
        }
    }

    std::vector<unsigned char> file(static_cast<std::size_t>(next) * pageSize, 0);
    auto place = [&](std::uint32_t number, const Page &p) {
        std::copy(p.begin(), p.end(), file.begin() + static_cast<std::size_t>(number) * pageSize);
    };
    place(0, headerPage());
    for (std::size_t i = 0; i < mapPages.size(); ++i)
        place(mapPageNumbers[i], mapPages[i]);
    for (const auto &[number, page] : bitmapPages)
        place(number, page);
    for (const auto &[number, page] : propertyPages)
        place(number, page);
    for (const Table &t : tables) {
        place(t.tdefPage, tableDefinitionPage(t));
        for (std::size_t i = 0; i < t.dataPages.size(); ++i)
            place(t.firstDataPage + static_cast<std::uint32_t>(i), t.dataPages[i]);
    }
    return file;
}

void writeMdbFile(const std::string &path, const std::vector<MdbTableData> &tables) {
    const auto bytes = buildMdb(tables);
    const std::string failure = writeFileSafely(
        path, std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
    if (!failure.empty())
        throw MdbWriteError("cannot write " + path + ": " + failure);
}

} // namespace sheetcraft
