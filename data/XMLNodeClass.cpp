#include <cognexa/XMLNodeClass.h>

XMLNodeClass::XMLNodeClass(XMLNodeClass* parent, int index)
    : Parent(parent), Index(index), Name(nullptr), Text(nullptr)
{
}

XMLNodeClass::~XMLNodeClass()
{
    // Walk down to a leaf, delete it, climb back; a deleted leaf has no children, so its own
    // destructor does no work and nothing recurses.
    XMLNodeClass* node = this;
    for (;;) {
        if (node->Children.Count() > 0) {
            node = node->Children[node->Children.Count() - 1];
            continue;
        }
        if (node == this) break;
        XMLNodeClass* parent = node->Parent;
        parent->Children.Remove_Last();
        delete node;
        node = parent;
    }
}
