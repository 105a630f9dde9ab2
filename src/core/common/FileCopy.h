#pragma once

namespace murmela {

// How copying one file's bytes into another went: `error` is 0 when every
// byte was copied, else the errno of what failed, and `writing` says whether
// the write failed rather than the read.
struct ContentCopy {
  int error = 0;
  bool writing = false;
};

// Copies what `source` holds, from its start to its end as it reads, into
// `target` (a new, empty file; both open at offset 0): a reflink where the
// file system offers one (FICLONE: the blocks are shared, nothing is
// copied), else copy_file_range (the kernel copies, or the file system does
// it on its side), else read and write through a buffer.
ContentCopy copyFileContents(int source, int target);

}  // namespace murmela
