// The two calculation books by their bit in UnsavedBookFlags: what the book screen shows and
// saves. A header of its own, so that layers that only name a book need nothing else.
#pragma once

namespace pile {

enum class Book { Text = 1, Table = 2 };

}  // namespace pile
