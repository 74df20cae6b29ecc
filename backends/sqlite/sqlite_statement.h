#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// One prepared SQL statement of a connection, finalised with the object. Binding indexes count from 1,
// column indexes from 0, as in SQLite.
class CSqliteStatement {
  public:
    CSqliteStatement() = default;
    CSqliteStatement(sqlite3* db, std::string_view sql);
    ~CSqliteStatement();
    CSqliteStatement(CSqliteStatement&& other) noexcept;
    CSqliteStatement& operator=(CSqliteStatement&& other) noexcept;
    CSqliteStatement(const CSqliteStatement&) = delete;
    CSqliteStatement& operator=(const CSqliteStatement&) = delete;

    bool IsValid() const { return statement_ != nullptr; }
    // The result of preparing (SQLITE_OK when it was prepared).
    int PrepareResult() const { return prepareResult_; }

    // Clears the bindings and readies the statement for another run.
    CSqliteStatement& Reset();
    CSqliteStatement& Bind(int index, std::int64_t value);
    CSqliteStatement& Bind(int index, std::string_view text);
    // The bytes are copied, unless they outlive the statement's next run (kept: true).
    CSqliteStatement& BindBlob(int index, std::span<const std::uint8_t> bytes, bool kept = false);
    CSqliteStatement& BindNull(int index);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step();
    // Runs the statement to its end; SQLITE_DONE on success.
    int Run();

    std::int64_t Integer(int column) const;
    bool IsNull(int column) const;
    std::string Text(int column) const;
    std::span<const std::uint8_t> Blob(int column) const;

  private:
    sqlite3_stmt* statement_ = nullptr;
    int prepareResult_ = SQLITE_MISUSE;
};
