; Floating point to and from decimal text.
        .module fpio
