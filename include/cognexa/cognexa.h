#ifndef COGNEXA_COGNEXA_H
#define COGNEXA_COGNEXA_H

// Everything a host needs to embed the library.
#include <cognexa/DatabaseObjectManagerClass.h>
#include <cognexa/DatabaseUIntConversionClass.h>
#include <cognexa/DynamicEnumConversionClass.h>
#include <cognexa/Export.h>
#include <cognexa/FileStreamClass.h>
#include <cognexa/FindData.h>
#include <cognexa/GrowableArrayClass.h>
#include <cognexa/HostHandIns.h>
#include <cognexa/MegaArchiveClass.h>
#include <cognexa/MegaFileManagerClass.h>
#include <cognexa/Notice.h>
#include <cognexa/PerceptionEvaluationStateClass.h>
#include <cognexa/PerceptionFunctionCallClass.h>
#include <cognexa/PerceptionFunctionClass.h>
#include <cognexa/PerceptionStringHandle.h>
#include <cognexa/PerceptionTokenType.h>
#include <cognexa/ThePerceptionFunctionManagerClass.h>
#include <cognexa/XMLNodeClass.h>
#include <cognexa/XMLReaderClass.h>

#endif
