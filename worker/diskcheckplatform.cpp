#include "diskcheckplatform.h"

DiskCheckPlatform::~DiskCheckPlatform() = default;
