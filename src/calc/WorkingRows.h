#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <vector>

// Working copies of result rows, from which a calculation takes each row it
// uses, so that what is left at the end is what no step used.

template <typename Row>
std::list<Row> WorkingCopy(const std::vector<Row>& rows)
{
    return std::list<Row>(rows.begin(), rows.end());
}

// Removes and returns the first row with the id; nothing when there is none.
template <typename Row>
std::optional<Row> TakeRowById(std::list<Row>& rows, std::int32_t id)
{
    for (auto it = rows.begin(); it != rows.end(); ++it) {
        if (it->id == id) {
            Row row = std::move(*it);
            rows.erase(it);
            return row;
        }
    }
    return std::nullopt;
}

// The first row with the id, left in place; null when there is none.
template <typename Row>
const Row* FirstRowWithId(const std::vector<Row>& rows, std::int32_t id)
{
    for (const Row& row : rows) {
        if (row.id == id)
            return &row;
    }
    return nullptr;
}
