// A completeness check run before an image file reaches DevIL, whose PNG and binary PNM readers misbehave on
// truncated files: the PNG reader reads on past the end for up to gigabytes, the PNM reader frees the image
// it is filling and then writes into it.
#pragma once

#include <string>

// False for a PNG whose chunks run past the end or that lacks its end chunk, and for a binary PGM or PPM
// with fewer pixel bytes than its header promises (or a header that cannot be read). Other formats pass:
// their readers stop at the end of the file on their own.
bool imageLooksComplete(const std::string& bytes);

// The same for a file's contents; false when it is no regular file or cannot be read.
bool imageFileLooksComplete(const std::string& path);
