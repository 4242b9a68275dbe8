// Resource identifiers of KivForIS55.dll.
#pragma once
