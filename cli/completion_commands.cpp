#include "cli.h"

#include "gamefiles/game_folder.h"

#include <ostream>

namespace hv::cli {
namespace {

// A word in single quotes, for bash.
std::string bashWord(std::string_view word) {
    std::string text = "'";
    for (char ch : word)
        text += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    return text + "'";
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words)
        text += (text.empty() ? "" : " ") + w;
    return text;
}

// The field names a command's help lists after "Fields:" (as fieldList writes them), each
// followed by "=", as FIELD=VALUE begins.
std::string helpFields(const std::string& help) {
    std::size_t start = help.starts_with("Fields:") ? 0 : help.find("\nFields:");
    if (start == std::string::npos)
        return {};
    start = help.find(':', start) + 1;
    const std::size_t end = help.find('.', start);
    std::string fields;
    std::string word;
    for (char ch : help.substr(start, end - start) + " ") {
        if (ch == ',' || ch == ' ' || ch == '\n') {
            if (!word.empty())
                fields += (fields.empty() ? "" : " ") + word + "=";
            word.clear();
        } else {
            word += ch;
        }
    }
    return fields;
}

// What the script does with the tables above it: the words typed so far name a command (or
// the start of one), and the word at the cursor is one of its options, an option's value or
// the positional argument its declaration names there.
const char* const kFunctions = R"bash(
# The values of column "name" of a list command's tab-separated output.
_hv_names() {
    "$@" --format tsv 2>/dev/null |
        awk -F '\t' 'NR == 1 { for (i = 1; i <= NF; i++) if ($i == "name") c = i; next }
                     c { print $c }'
}

# Adds the words of $2, split at $1, that start with the word at the cursor.
_hv_reply() {
    local IFS=$1 word
    for word in $2; do
        [[ $word == "$cur"* ]] && COMPREPLY+=("$word")
    done
}

# Completes the placeholder $1 of the command's declaration.
_hv_complete() {
    local p=$1 group=${command%% *} list name
    case $p in
    *'|'* | [a-z]*) _hv_reply '|' "$p" ;; # words to choose from
    *=*)
        _hv_reply ' ' "${_hv_fields[$command]}"
        compopt -o nospace 2>/dev/null
        ;;
    NAME)
        list="$group list"
        [[ -v "_hv_args[$list]" ]] || list="roster list"
        local -a takes=(${_hv_args[$list]})
        while IFS= read -r name; do
            [[ $name == "${cur#[\"\']}"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
        done < <(_hv_names "${words[0]}" "${globals[@]}" $list "${posargs[@]:0:${#takes[@]}}")
        ;;
    SLOT) _hv_reply '|' "$_hv_slots" ;;
    *FILE) COMPREPLY=($(compgen -f -- "$cur")) ;;
    DIR) COMPREPLY=($(compgen -d -- "$cur")) ;;
    esac
}

_hv() {
    local cur cword i w
    local -a words=()
    if declare -F _get_comp_words_by_ref >/dev/null; then
        _get_comp_words_by_ref -n =: cur words cword
    else
        # bash splits NAME=VALUE at "=": join it again
        for ((i = 0; i < ${#COMP_WORDS[@]}; i++)); do
            w=${COMP_WORDS[i]}
            if ((i > 1)) && [[ $w == = || ${COMP_WORDS[i - 1]} == = ]]; then
                words[-1]+=$w
            else
                words+=("$w")
            fi
            ((i == COMP_CWORD)) && cword=$((${#words[@]} - 1))
        done
        cur=${words[cword]}
    fi
    COMPREPLY=()
    local -a globals=() given=() posargs=()
    local command='' ncommand=0 value='' literal=''
    for ((i = 1; i < cword; i++)); do
        w=${words[i]}
        if [[ -n $value ]]; then
            [[ $value == global ]] && globals+=("$w")
            value=''
        elif [[ -n $literal || $w != --* ]]; then
            given+=("$w")
            if [[ -z $command && -v "_hv_args[${given[*]}]" ]]; then
                command=${given[*]} ncommand=${#given[@]}
            fi
        elif [[ $w == -- ]]; then
            literal=1
        elif [[ -n ${_hv_values[ ${w%%=*}]} ]]; then
            globals+=("$w")
            [[ $w == *=* ]] || value=global
        elif [[ $w != *=* && -n ${_hv_values[$command $w]} ]]; then
            value=option
        fi
    done
    posargs=("${given[@]:ncommand}")

    local prev=${words[cword - 1]}
    if [[ -z $value && -z $literal && $cur == --*=* ]]; then
        # --OPTION=VALUE: the line's word is the value, after the "="
        prev=${cur%%=*} cur=${cur#*=}
        [[ -n ${_hv_values[ $prev]} ]] && value=global || value=option
    fi
    if [[ $value == global ]]; then
        _hv_complete "${_hv_values[ $prev]}"
    elif [[ -n $value ]]; then
        _hv_complete "${_hv_values[$command $prev]}"
    elif [[ -z $literal && $cur == --* ]]; then
        if [[ -n $command ]]; then
            _hv_reply ' ' "${_hv_options[$command]} --help"
        else
            _hv_reply ' ' "$_hv_globals"
        fi
    elif [[ -z $command ]]; then
        local key next seen=' ' prefix=${given[*]}
        for key in "${!_hv_args[@]}"; do
            if [[ -z $prefix ]]; then
                next=${key%% *}
            elif [[ $key == "$prefix "* ]]; then
                next=${key#"$prefix "} next=${next%% *}
            else
                continue
            fi
            [[ $seen == *" $next "* ]] && continue
            seen+="$next "
            [[ $next == "$cur"* ]] && COMPREPLY+=("$next")
        done
    else
        local -a declared=(${_hv_args[$command]})
        local n=${#posargs[@]} p
        if ((n < ${#declared[@]})); then
            p=${declared[n]}
        elif ((${#declared[@]} > 0)) && [[ ${declared[-1]} == *... || ${declared[-1]} == *...] ]]; then
            p=${declared[-1]}
        else
            return 0
        fi
        p=${p#\[} p=${p%\]} p=${p%...}
        [[ $cur == *=* ]] || _hv_complete "$p"
    fi
    return 0
}

complete -F _hv hv
)bash";

std::string bashScript() {
    std::string args, options, values, fields, globals;
    for (const Option& o : globalOptions()) { // keyed as options of no command
        globals += (globals.empty() ? "" : " ") + o.name;
        if (!o.value.empty())
            values += "    [" + bashWord(" " + o.name) + "]=" + bashWord(o.value) + "\n";
    }
    for (const Command& c : allCommands()) {
        const std::string key = joined(c.words);
        args += "    [" + bashWord(key) + "]=" + bashWord(c.positionals) + "\n";
        std::string names;
        for (const Option& o : c.options) {
            names += (names.empty() ? "" : " ") + o.name;
            if (!o.value.empty())
                values += "    [" + bashWord(key + " " + o.name) + "]=" + bashWord(o.value) + "\n";
        }
        if (!names.empty())
            options += "    [" + bashWord(key) + "]=" + bashWord(names) + "\n";
        if (const std::string f = helpFields(c.help); !f.empty())
            fields += "    [" + bashWord(key) + "]=" + bashWord(f) + "\n";
    }
    std::string slots;
    for (std::string_view slot : kSlots)
        slots += (slots.empty() ? "" : "|") + std::string(slot);
    return "# bash completion for hv, written by `hv completion bash`.\n"
           "\n"
           "# Each command's positional arguments, options, options' values and fields.\n"
           "declare -gA _hv_args=(\n" +
           args + ")\ndeclare -gA _hv_options=(\n" + options + ")\ndeclare -gA _hv_values=(\n" +
           values + ")\ndeclare -gA _hv_fields=(\n" + fields +
           ")\n_hv_globals=" + bashWord(globals) + "\n_hv_slots=" + bashWord(slots) + "\n" +
           kFunctions;
}

int completion(CliContext& c, const Args& args) {
    if (args[0] != "bash")
        throw UsageError{"expected bash, not \"" + args[0] + "\""};
    c.out << bashScript();
    return kOk;
}

} // namespace

std::vector<Command> completionCommands() {
    return {
        {{"completion"},
         "bash",
         {},
         "Print a script that completes hv's command lines in bash.",
         "Completes the commands, their options, the field names of the set commands, the\n"
         "save slots and the names of wrestlers and managers, which it gets from hv itself\n"
         "(with the --game-folder and --slot given on the line). Installed packages put it\n"
         "where bash-completion finds it; otherwise load it with\n"
         "  source <(hv completion bash)",
         completion},
    };
}

} // namespace hv::cli
