// The empty body of a layer's link probe: the DLL is made of the layer's
// library alone, linked with the layers below it.
