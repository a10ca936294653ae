package com.example.sample;

import org.apache.commons.lang3.StringUtils;

/** Greets through its dependency, so it runs only with the dependency on its class path. */
public final class HelloMaven {
    private HelloMaven() {}

    public static void main(String[] args) {
        System.out.println(StringUtils.capitalize("hello from Maven"));
    }
}
