#include "image/metafile.h"

namespace skyloom {

// The portable build has no metafile renderer: every import fails and the
// loader reports it through Aborting.
std::unique_ptr<TMetafile> LoadMetafile(const std::string&) { return nullptr; }

}  // namespace skyloom
