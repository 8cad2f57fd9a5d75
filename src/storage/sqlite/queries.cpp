#include "storage/sqlite/queries.h"

// Defined together so that they link into the chain in one known order when the
// library loads.
namespace queries {
query_remove_field remove_field;
query_add_value add_value;
query_remove_info remove_info;
query_read_all read_all;
query_begin_transaction begin_transaction;
query_end_transaction end_transaction;
query_clear clear;
}  // namespace queries
