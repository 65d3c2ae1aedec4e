// Registers the small study model in the test build of the kernel program,
// after the library's own types.
#include "StudyTestModel.h"

#include "velta/persistency/NodeFactory.h"

namespace {

const NodeFactory::Registrar studyModel(1000, "study test model", &registerStudyTestModel);

} // namespace
