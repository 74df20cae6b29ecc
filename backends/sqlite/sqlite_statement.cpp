#include "sqlite/sqlite_statement.h"

#include <utility>

CSqliteStatement::CSqliteStatement(sqlite3* db, std::string_view sql) {
    prepareResult_ = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                        SQLITE_PREPARE_PERSISTENT, &statement_, nullptr);
    if (prepareResult_ != SQLITE_OK) {
        sqlite3_finalize(statement_);
        statement_ = nullptr;
    }
}

CSqliteStatement::~CSqliteStatement() {
    sqlite3_finalize(statement_);
}

CSqliteStatement::CSqliteStatement(CSqliteStatement&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr)), prepareResult_(other.prepareResult_) {}

CSqliteStatement& CSqliteStatement::operator=(CSqliteStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(statement_);
        statement_ = std::exchange(other.statement_, nullptr);
        prepareResult_ = other.prepareResult_;
    }
    return *this;
}

CSqliteStatement& CSqliteStatement::Reset() {
    if (statement_) {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    return *this;
}

CSqliteStatement& CSqliteStatement::Bind(int index, std::int64_t value) {
    sqlite3_bind_int64(statement_, index, value);
    return *this;
}

CSqliteStatement& CSqliteStatement::Bind(int index, std::string_view text) {
    sqlite3_bind_text64(statement_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    return *this;
}

CSqliteStatement& CSqliteStatement::BindBlob(int index, std::span<const std::uint8_t> bytes, bool kept) {
    // A zero-length blob, not NULL, for no bytes.
    static const std::uint8_t kNone = 0;
    sqlite3_bind_blob64(statement_, index, bytes.empty() ? &kNone : bytes.data(), bytes.size(),
                        kept ? SQLITE_STATIC : SQLITE_TRANSIENT);
    return *this;
}

CSqliteStatement& CSqliteStatement::BindNull(int index) {
    sqlite3_bind_null(statement_, index);
    return *this;
}

int CSqliteStatement::Step() {
    return statement_ ? sqlite3_step(statement_) : SQLITE_MISUSE;
}

int CSqliteStatement::Run() {
    int result = Step();
    while (result == SQLITE_ROW)
        result = Step();
    if (statement_) sqlite3_reset(statement_);
    return result;
}

std::int64_t CSqliteStatement::Integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

bool CSqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

std::string CSqliteStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))) : "";
}

std::span<const std::uint8_t> CSqliteStatement::Blob(int column) const {
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    return bytes ? std::span<const std::uint8_t>(bytes, static_cast<std::size_t>(size))
                 : std::span<const std::uint8_t>();
}
